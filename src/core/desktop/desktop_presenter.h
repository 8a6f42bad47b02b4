#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>

#include "core/common/driver_state.h"
#include "core/common/operator.h"
#include "core/desktop/main_window_listener.h"
#include "core/desktop/trace_buffer.h"
#include "core/desktop/view_thread.h"
#include "core/supervision/reports.h"

namespace merovan::driver {
class Driver;
}

namespace merovan::desktop {

// What the main window's controls are, derived from the driver's state.
struct MainWindowControls {
    bool start = false;
    bool stop = false;
    bool reports = false;
    bool settings = false;
    bool startIsDefault = false;
    bool trayStartChecked = false;
    bool trayStopChecked = false;

    bool operator==(const MainWindowControls&) const = default;
};

// The desktop program's main window without a toolkit: every text, control state and notice
// it shows, and what the operator's clicks ask of the driver. The driver calls it as its
// operator from its own thread; the model changes on the view's thread, and the view is told.
class DesktopPresenter final : public common::Operator {
  public:
    using DriverAction = std::function<void(driver::Driver&)>;

    static constexpr std::size_t kMaxNotices = 50;
    static constexpr const char* kEndingNote =
        "Τερματισμός: αναμονή για τον Φορολογικό Εκτυπωτή...";

    // log: where the program's log lines go as well (none: nowhere else).
    explicit DesktopPresenter(ViewThread& viewThread, std::FILE* log = stderr);

    void setListener(MainWindowListener* listener) { listener_ = listener; }
    // Where the operator's actions go; the program runs them on the driver's thread.
    void setDriverSink(std::function<void(DriverAction)> sink) { sink_ = std::move(sink); }

    // The operator, called from the driver's thread.
    int showMessage(const common::MessageBox& box) override;
    void setCaption(const std::string& caption) override;
    void setStatus(const std::string& text) override;
    void setProgressText(const std::string& text) override;
    void trace(const std::string& line) override;
    void setDriverState(common::DriverState state) override;
    void setWindowShown(bool shown) override;
    void setCardWaitShown(bool shown) override;
    void setReceiptCount(std::int64_t count) override;
    void showSettings(const common::SettingsView& view) override;
    void showSettingsDialog() override;
    void log(const std::string& line) override;

    // The model, read on the view's thread.
    const std::string& caption() const { return caption_; }
    const std::string& status() const { return status_; }
    const std::string& progress() const { return progress_; }
    const std::string& receiptCount() const { return receiptCount_; }
    const common::SettingsView& settings() const { return settings_; }
    common::DriverState driverState() const { return state_; }
    MainWindowControls controls() const;
    bool windowShown() const { return windowShown_; }
    bool cardWaitShown() const { return cardWaitShown_; }
    bool traceShown() const { return traceShown_; }
    const TraceBuffer& traceLines() const { return trace_; }
    // Messages for the operator, oldest first, until each is marked seen.
    const std::deque<std::string>& notices() const { return notices_; }
    // The oldest notice, with how many wait behind it.
    std::string noticeText() const;
    bool ending() const { return ending_; }
    // The program ends but waits for the driver's thread: the window stays with its note.
    bool waitingAtEnd() const { return waitingAtEnd_; }

    // The operator's input, on the view's thread.
    void start();
    void stop();
    void report(supervision::Report report);
    void clearError();
    void trayZReport();
    void settingsDialogShown(bool shown);
    // Opens the trace with no lines, or closes it.
    void setTraceShown(bool shown);
    void noticeSeen();
    // The program ends. While the driver's thread finishes (an exchange may wait for a silent
    // register), the window stays with a note, so that no invisible process is left.
    void beginEnding(bool driverRunning);

  private:
    void onView(MainWindowListener::Part part, std::function<void()> change);
    void notify(MainWindowListener::Part part);
    void toDriver(DriverAction action);

    ViewThread& viewThread_;
    std::FILE* log_;
    MainWindowListener* listener_ = nullptr;
    std::function<void(DriverAction)> sink_;
    std::atomic<bool> traceOn_{false};
    std::atomic<bool> endingNow_{false};

    std::string caption_ = "Merovan";
    std::string status_ = "status";
    std::string progress_;
    std::string receiptCount_;
    common::SettingsView settings_;
    common::DriverState state_ = common::DriverState::Searching;
    bool reportAsked_ = false;  // a report was clicked and the driver has not answered yet
    bool windowShown_ = false;
    bool cardWaitShown_ = false;
    bool traceShown_ = false;
    bool ending_ = false;
    bool waitingAtEnd_ = false;
    TraceBuffer trace_;
    std::deque<std::string> notices_;
};

}  // namespace merovan::desktop
