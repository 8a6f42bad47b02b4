#include <gmock/gmock.h>

#include <deque>
#include <filesystem>
#include <memory>

#include "core/desktop/desktop_presenter.h"
#include "core/driver/driver.h"
#include "support/fake_clock.h"
#include "support/scripted_transport.h"

namespace merovan::testing {
namespace {

using common::DriverState;
using desktop::DesktopPresenter;
using desktop::MainWindowControls;
using Part = desktop::MainWindowListener::Part;
using ::testing::Contains;
using ::testing::ElementsAre;

// The view's thread is the test's own; boxes are answered with OK and kept.
struct InlineViewThread final : desktop::ViewThread {
    void post(std::function<void()> call) override { call(); }
    int ask(const common::MessageBox& box) override {
        boxes.push_back(box);
        return common::answers::kOk;
    }
    std::vector<common::MessageBox> boxes;
};

struct RecordingView final : desktop::MainWindowListener {
    void changed(Part part) override { parts.push_back(part); }
    std::vector<Part> parts;
};

// The presenter as the real driver's operator, on a scripted register and a fake clock.
// Operator actions are queued as the desktop program queues them for the driver's thread.
class PresenterTest : public ::testing::Test {
  protected:
    PresenterTest() {
        presenter_.setListener(&view_);
        presenter_.setDriverSink([this](DesktopPresenter::DriverAction action) {
            queued_.push_back(std::move(action));
        });
        params_.linkAddress = "com1:9600";
        params_.baud = "9600";
        params_.file = "print";
        params_.jobFiles = settings::JobFiles::Numbered;
        params_.location = std::filesystem::temp_directory_path().string() + "/";
        params_.receipt.currency = settings::Currency::Secondary;
        params_.receipt.comments = settings::Comments::Off;
        driver::DriverServices services;
        services.transports = register_.factory();
        services.readParams = [this](const std::string&, settings::ParamReadMode) {
            return common::Result<settings::ParamSettings>(params_);
        };
        driver_ =
            std::make_unique<driver::Driver>(presenter_, clock_, services, driver::DriverOptions{});
    }

    // Runs what the clicks asked of the driver.
    int runQueued() {
        const int count = static_cast<int>(queued_.size());
        while (!queued_.empty()) {
            auto action = std::move(queued_.front());
            queued_.pop_front();
            action(*driver_);
        }
        return count;
    }
    void silenceRegister() {
        register_.setResponder(
            [](const std::string&) { return std::vector<ScriptedTransport::Piece>{}; });
    }

    InlineViewThread thread_;
    RecordingView view_;
    DesktopPresenter presenter_{thread_, nullptr};
    std::deque<DesktopPresenter::DriverAction> queued_;
    FakeClock clock_;
    ScriptedTransport register_{clock_};
    settings::ParamSettings params_;
    std::unique_ptr<driver::Driver> driver_;
};

// Start, Stop, reports, settings, Start is default, the tray's Start and Stop marks.
MainWindowControls row(bool start, bool stop, bool reports, bool settings, bool startIsDefault,
                       bool trayStart, bool trayStop) {
    return {start, stop, reports, settings, startIsDefault, trayStart, trayStop};
}

TEST_F(PresenterTest, ControlsCaptionAndStatusFollowTheDriversState) {
    struct Step {
        const char* what;
        std::function<void()> act;
        DriverState state;
        const char* caption;
        const char* status;
        MainWindowControls controls;
    };
    const Step steps[] = {
        {"searching", [&] { ASSERT_TRUE(driver_->load()); }, DriverState::Searching,
         "Merovan- Αναζήτηση", "Εύρεση Φορολογικής Ταμειακής !!! ",
         row(false, false, false, true, false, false, false)},
        {"ready", [&] { driver_->supervisionTick(); }, DriverState::Ready, "Merovan- Έτοιμο",
         "Φορολογικός Εκτυπωτής ON-Line, Έτοιμος Για Εκτυπωσεις",
         row(true, false, true, true, true, false, true)},
        {"printing", [&] { presenter_.start(); }, DriverState::Printing, "Merovan- Αναμονή",
         "Αναμονή Για Στοιχεία....", row(false, true, false, false, false, true, false)},
        {"stopped", [&] { presenter_.stop(); }, DriverState::Stopped, "Merovan- Διακόπηκε",
         "Διακοπή Εκτυπώσεων. Πατήστε Έναρξη Εκτυπώσεων!!!",
         row(true, false, true, true, true, false, true)},
        {"searching again after the settings dialog",
         [&] {
             presenter_.settingsDialogShown(false);
             runQueued();
             silenceRegister();
             driver_->supervisionTick();
         },
         DriverState::Searching, "Σφάλμα !!!Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !",
         "Εύρεση Φορολογικής Ταμειακής !!! ", row(false, false, false, true, false, false, false)},
        {"off-line",
         [&] {
             for (int tick = 0; tick < 3; ++tick) {
                 driver_->supervisionTick();
             }
         },
         DriverState::Offline, "Merovan- Λάθος!",
         "Φορολογικός Εκτυπωτής Off-Line, Εκτυπώσεις Ανενεργές !",
         row(false, false, false, true, false, false, false)},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        runQueued();
        EXPECT_EQ(presenter_.driverState(), step.state);
        EXPECT_EQ(presenter_.caption(), step.caption);
        EXPECT_EQ(presenter_.status(), step.status);
        EXPECT_EQ(presenter_.controls(), step.controls);
    }
    EXPECT_EQ(presenter_.settings().file, "print @Path : " + params_.location);
    EXPECT_EQ(presenter_.settings().comments, "Οχι");
    // An unknown payment setting leaves its label as it was.
    presenter_.showSettings({});
    EXPECT_EQ(presenter_.settings().currency, "Δευτερεύων Νομισμα");
    // Start takes the focus when the register is found, not when printing stops.
    EXPECT_EQ(std::count(view_.parts.begin(), view_.parts.end(), Part::StartFocus), 1);
}

TEST_F(PresenterTest, ReportsMenuIsOffUntilFoundAndFromTheClickUntilTheReportIsDone) {
    ASSERT_TRUE(driver_->load());
    presenter_.report(supervision::Report::XFinancial);
    EXPECT_EQ(runQueued(), 0);
    driver_->supervisionTick();

    // Two clicks before the driver takes the first: one report.
    presenter_.report(supervision::Report::XFinancial);
    EXPECT_FALSE(presenter_.controls().reports);
    presenter_.report(supervision::Report::XFinancial);
    EXPECT_EQ(runQueued(), 1);
    EXPECT_EQ(std::count(register_.sent().begin(), register_.sent().end(), "KX0T1"), 1);
    EXPECT_TRUE(presenter_.controls().reports);

    // Turned down by the driver (printing began first): the menu follows the state again.
    presenter_.start();
    presenter_.report(supervision::Report::XPeriodic);
    runQueued();
    EXPECT_EQ(presenter_.driverState(), DriverState::Printing);
    presenter_.stop();
    runQueued();
    EXPECT_TRUE(presenter_.controls().reports);
    EXPECT_THAT(register_.sent(), ::testing::Not(Contains("KX5T1")));
}

TEST_F(PresenterTest, NoticesStayUntilSeenWithoutHoldingTheDriver) {
    for (const char* line : {"Το αρχείο δεν διαβάζεται ως εργασία: a", "b", "b", "c"}) {
        presenter_.log(line);
    }
    EXPECT_THAT(presenter_.notices(),
                ElementsAre("Το αρχείο δεν διαβάζεται ως εργασία: a", "b", "c"));
    EXPECT_EQ(presenter_.noticeText(), "[1/3] Το αρχείο δεν διαβάζεται ως εργασία: a");
    EXPECT_TRUE(thread_.boxes.empty());
    presenter_.noticeSeen();
    presenter_.noticeSeen();
    EXPECT_EQ(presenter_.noticeText(), "c");
    for (std::size_t line = 0; line < DesktopPresenter::kMaxNotices + 5; ++line) {
        presenter_.log(std::to_string(line));
    }
    EXPECT_EQ(presenter_.notices().size(), DesktopPresenter::kMaxNotices);
    EXPECT_EQ(presenter_.notices().back(), std::to_string(DesktopPresenter::kMaxNotices + 4));
}

TEST_F(PresenterTest, TraceIsKeptOnlyWhileShownAndEachOpeningStartsEmpty) {
    presenter_.trace("before");
    presenter_.setTraceShown(true);
    presenter_.trace("10:00       send:[KXCL]");
    EXPECT_EQ(presenter_.traceLines().text(), "\n10:00       send:[KXCL]");
    presenter_.setTraceShown(false);
    presenter_.trace("closed");
    presenter_.setTraceShown(true);
    EXPECT_EQ(presenter_.traceLines().text(), "");

    desktop::TraceBuffer buffer;
    for (std::size_t line = 1; line <= desktop::TraceBuffer::kMaxLines + 50; ++line) {
        buffer.append(std::to_string(line));
    }
    EXPECT_EQ(buffer.lines().size(), desktop::TraceBuffer::kMaxLines);
    EXPECT_EQ(buffer.lines().front(), "51");
}

TEST_F(PresenterTest, EndingKeepsItsNoteAndAnswersBoxesAtOnce) {
    ASSERT_TRUE(driver_->load());
    presenter_.beginEnding(true);
    presenter_.setStatus("Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !");
    EXPECT_EQ(presenter_.status(), DesktopPresenter::kEndingNote);
    EXPECT_EQ(
        presenter_.showMessage(common::formatMessageBox("x", common::buttons::kExclamation, {})),
        common::answers::kOk);
    EXPECT_TRUE(thread_.boxes.empty());
    EXPECT_THAT(presenter_.notices(), Contains(::testing::HasSubstr("x")));
    EXPECT_EQ(presenter_.controls(), MainWindowControls{});
    presenter_.start();
    EXPECT_EQ(runQueued(), 0);
}

}  // namespace
}  // namespace merovan::testing
