#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>

#include "core/link/transport.h"
#include "core/settings/command_line.h"
#include "gui/qt/farewell.h"
#include "gui_fixture.h"

namespace merovan::testing {
namespace {

// A register whose every read waits until the test opens the gate.
struct Gate {
    void open() {
        {
            std::lock_guard lock(mutex);
            held = false;
        }
        opened.notify_all();
    }
    std::mutex mutex;
    std::condition_variable opened;
    bool held = true;
    std::atomic<bool> waiting{false};
};

struct HeldRegister final : link::Transport {
    explicit HeldRegister(Gate& gate) : gate(gate) {}
    link::TransportResult openConnection() override { return {}; }
    link::TransportResult sendData(const std::string&) override { return {}; }
    link::Received receiveData(std::chrono::milliseconds) override {
        std::unique_lock lock(gate.mutex);
        gate.waiting = true;
        gate.opened.wait(lock, [this] { return !gate.held; });
        return {};
    }
    void shutdownConnection() override {}
    Gate& gate;
};

// Runs the GUI's events until done says so; a bound keeps a broken test from hanging.
bool serveUntil(const std::function<bool()>& done) {
    QElapsedTimer since;
    since.start();
    while (!done() && since.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// The program goes before the gate, which lets a read still waiting go.
class HeldRegisterTest : public GuiTest {
  protected:
    ~HeldRegisterTest() override {
        gate.open();
        program_.reset();
    }
    Gate gate;
};

TEST_F(HeldRegisterTest, EndingWhileTheRegisterIsAwaitedLeavesTheWindowWithANote) {
    driver::DriverServices services;
    services.transports = [this](const link::LinkTarget&) {
        return std::make_unique<HeldRegister>(gate);
    };
    gui::DesktopProgram& program = GuiTest::program(services);
    bool finished = false;
    QObject::connect(&program, &gui::DesktopProgram::finished, [&finished] { finished = true; });
    ASSERT_TRUE(program.start());

    // The driver's thread waits for the register; the window goes on drawing meanwhile.
    ASSERT_TRUE(serveUntil([&] { return gate.waiting.load(); }));
    EXPECT_TRUE(serveUntil(
        [&] { return program.presenter().status() == "Εύρεση Φορολογικής Ταμειακής !!! "; }));

    program.end();
    QCoreApplication::processEvents();
    EXPECT_TRUE(program.window().isVisible());
    EXPECT_FALSE(program.window().centralWidget()->isEnabled());
    EXPECT_EQ(program.window().findChild<QLineEdit*>("comstattxt")->text(),
              desktop::DesktopPresenter::kEndingNote);
    EXPECT_FALSE(finished);
    gate.open();
    EXPECT_TRUE(serveUntil([&] { return finished; }));
    EXPECT_TRUE(messages_.boxes.empty());
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
    EXPECT_EQ(*status, driver::JobDone);
    EXPECT_FALSE(std::filesystem::exists(job));
    EXPECT_NE(readFile("job.result").find("tag = T1"), std::string::npos);
    EXPECT_EQ(program().window().windowTitle(), "Merovan- Έτοιμο");
}

// A desktop user never sees standard output: the farewell is a message box, and the exit
// status follows it.
TEST_F(GuiTest, TooShortAnOptionStringSaysFarewellInABox) {
    RecordingMessageBoxes shown;
    EXPECT_EQ(gui::showFarewell(shown), driver::OptionsTooShort);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_NE(shown.boxes[0].text.find("Ευχαριστούμε που χρησιμοποιήσατε το Merovan"),
              std::string::npos);
    EXPECT_EQ(shown.boxes[0].title, "Merovan4_KVT");
}

}  // namespace
}  // namespace merovan::testing
