#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <fstream>
#include <thread>

#include "core/link/transport.h"
#include "core/settings/command_line.h"
#include "gui/farewell.h"
#include "gui_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;

// A register that never answers, on the real clock: every read blocks for its whole wait.
struct SilentRegister final : link::Transport {
    explicit SilentRegister(std::atomic<int>& sends) : sends(sends) {}
    link::TransportResult openConnection() override { return {}; }
    link::TransportResult sendData(const std::string&) override {
        ++sends;
        return {};
    }
    link::Received receiveData(std::chrono::milliseconds maxWait) override {
        std::this_thread::sleep_for(maxWait);
        return {};
    }
    void shutdownConnection() override {}
    std::atomic<int>& sends;
};

TEST_F(GuiTest, WindowStaysResponsiveWhileTheRegisterIsSilentFor20Seconds) {
    std::atomic<int> sends{0};
    common::SystemClock clock;
    driver::DriverServices services;
    services.transports = [&sends](const link::LinkTarget&) {
        return std::make_unique<SilentRegister>(sends);
    };
    driver::DriverOptions options;
    options.workDir = dir_.string();
    gui::GuiContext context{dir_.string(), clock, messages_, ","};
    gui::DesktopProgram program(context, services, options);
    ASSERT_TRUE(program.start());

    // Supervision asks after one second; four attempts of five seconds follow.
    QElapsedTimer since;
    since.start();
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer beat;
    beat.callOnTimeout([&] {
        const qint64 now = since.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        program.window().repaint();
    });
    beat.start(100);
    QEventLoop loop;
    QTimer::singleShot(21500, &loop, &QEventLoop::quit);
    loop.exec();

    EXPECT_EQ(sends.load(), 4);
    EXPECT_LT(longestGap, 200);
    // The failed exchange's box was shown on the GUI thread while the driver's thread waited.
    EXPECT_EQ(messages_.boxes.size(), 1u);
}

TEST_F(GuiTest, CommandLineRunsTheOneJobAndEnds) {
    const std::string job = (dir_ / "job.txt").string();
    std::ofstream(job, std::ios::binary)
        << "resFile:  " << (dir_ / "job.result").string() << "\r\n tag:  T1\r\n";
    const auto fields = settings::parseCommandLine("com1:9600,9600," + job + ",0,vesko,1111111");
    const auto parsed = settings::settingsFromCommandLine(fields);
    std::optional<int> status;
    QEventLoop loop;
    QObject::connect(&program(), &gui::DesktopProgram::finished, [&](int code) {
        status = code;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    program().startCommandLine({parsed.settings, fields[2], job});
    loop.exec();
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, driver::kJobDone);
    EXPECT_FALSE(std::filesystem::exists(job));
    EXPECT_NE(readFile("job.result").find("tag = T1"), std::string::npos);
    EXPECT_EQ(program().window().windowTitle(), "Merovan- Έτοιμο");
}

// A desktop user never sees standard output: the farewell is a message box, and the exit
// status follows it.
TEST_F(GuiTest, TooShortAnOptionStringSaysFarewellInABox) {
    RecordingPresenter shown;
    EXPECT_EQ(gui::showFarewell(shown), driver::kOptionsTooShort);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_NE(shown.boxes[0].text.find("Ευχαριστούμε που χρησιμοποιήσατε το Merovan"),
              std::string::npos);
    EXPECT_EQ(shown.boxes[0].title, "Merovan4_KVT");
}

}  // namespace
}  // namespace merovan::testing
