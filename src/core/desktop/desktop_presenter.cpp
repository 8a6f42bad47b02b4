#include "core/desktop/desktop_presenter.h"

#include "core/common/text.h"
#include "core/driver/driver.h"

namespace merovan::desktop {

using Part = MainWindowListener::Part;
using common::DriverState;

DesktopPresenter::DesktopPresenter(ViewThread& viewThread, std::FILE* log)
    : viewThread_(viewThread), log_(log) {}

void DesktopPresenter::notify(Part part) {
    if (listener_ != nullptr) {
        listener_->changed(part);
    }
}

void DesktopPresenter::onView(Part part, std::function<void()> change) {
    viewThread_.post([this, part, change = std::move(change)] {
        change();
        notify(part);
    });
}

void DesktopPresenter::toDriver(DriverAction action) {
    if (sink_ && !ending_) {
        sink_(std::move(action));
    }
}

int DesktopPresenter::showMessage(const common::MessageBox& box) {
    // Nobody answers a box any more: it is logged and answered at once, so that the driver's
    // thread can finish.
    if (endingNow_) {
        log(box.title + ": " + std::string(common::trim(box.text)));
        return common::answers::kOk;
    }
    return viewThread_.ask(box);
}

void DesktopPresenter::setCaption(const std::string& caption) {
    onView(Part::Caption, [this, caption] { caption_ = caption; });
}

void DesktopPresenter::setStatus(const std::string& text) {
    onView(Part::Status, [this, text] {
        if (!ending_) {
            status_ = text;
        }
    });
}

void DesktopPresenter::setProgressText(const std::string& text) {
    onView(Part::Progress, [this, text] { progress_ = text; });
}

void DesktopPresenter::trace(const std::string& line) {
    // Most of the time nobody watches the trace; the lines are not worth carrying over then.
    if (traceOn_) {
        onView(Part::trace, [this, line] {
            if (traceShown_) {
                trace_.append(line);
            }
        });
    }
}

void DesktopPresenter::setDriverState(DriverState state) {
    viewThread_.post([this, state] {
        const bool found = state == DriverState::Ready && state_ != DriverState::Ready &&
                           state_ != DriverState::Reporting;
        state_ = state;
        // Whatever the driver says, it has taken the report asked for, or turned it down.
        reportAsked_ = false;
        notify(Part::Controls);
        if (found) {
            notify(Part::StartFocus);
        }
    });
}

void DesktopPresenter::setWindowShown(bool shown) {
    onView(Part::WindowShown, [this, shown] { windowShown_ = shown; });
}

void DesktopPresenter::setCardWaitShown(bool shown) {
    onView(Part::CardWait, [this, shown] { cardWaitShown_ = shown; });
}

void DesktopPresenter::setReceiptCount(std::int64_t count) {
    onView(Part::ReceiptCount, [this, count] { receiptCount_ = std::to_string(count); });
}

void DesktopPresenter::showSettings(const common::SettingsView& view) {
    onView(Part::Settings, [this, view] {
        // An unknown payment setting leaves the label as it was.
        const std::string currency = settings_.currency;
        settings_ = view;
        if (settings_.currency.empty()) {
            settings_.currency = currency;
        }
    });
}

void DesktopPresenter::showSettingsDialog() {
    viewThread_.post([this] { notify(Part::SettingsDialog); });
}

void DesktopPresenter::log(const std::string& line) {
    if (log_ != nullptr) {
        std::fprintf(log_, "merovan: %s\n", line.c_str());
    }
    // What the log says needs the operator: it stays in the window until seen, and the
    // driver goes on meanwhile.
    onView(Part::Notices, [this, line] {
        if (!notices_.empty() && notices_.back() == line) {
            return;
        }
        notices_.push_back(line);
        if (notices_.size() > kMaxNotices) {
            notices_.pop_front();
        }
    });
}

MainWindowControls DesktopPresenter::controls() const {
    if (ending_) {
        return {};
    }
    const common::DriverControls allowed = common::controlsOf(state_);
    MainWindowControls controls;
    controls.start = allowed.start;
    controls.stop = allowed.stop;
    controls.reports = allowed.reports && !reportAsked_;
    controls.settings = allowed.settings;
    controls.startIsDefault = allowed.start;
    // Neither mark while neither button can be pressed.
    if (allowed.start || allowed.stop) {
        controls.trayStartChecked = !allowed.start;
        controls.trayStopChecked = !allowed.stop;
    }
    return controls;
}

std::string DesktopPresenter::noticeText() const {
    if (notices_.empty()) {
        return {};
    }
    if (notices_.size() == 1) {
        return notices_.front();
    }
    return "[1/" + std::to_string(notices_.size()) + "] " + notices_.front();
}

void DesktopPresenter::start() {
    // As the tray starts it: a click queued behind a state change must not start twice.
    toDriver([](driver::Driver& d) { d.trayStart(); });
}

void DesktopPresenter::stop() {
    toDriver([](driver::Driver& d) { d.trayStop(); });
}

void DesktopPresenter::report(supervision::Report report) {
    // The menu goes off at the click: a second click while the first report waits for the
    // driver must not print a second report.
    if (!controls().reports) {
        return;
    }
    reportAsked_ = true;
    notify(Part::Controls);
    toDriver([report](driver::Driver& d) { d.report(report); });
}

void DesktopPresenter::clearError() {
    toDriver([](driver::Driver& d) { d.clearError(); });
}

void DesktopPresenter::trayZReport() {
    toDriver([](driver::Driver& d) { d.trayZReport(); });
}

void DesktopPresenter::settingsDialogShown(bool shown) {
    toDriver([shown](driver::Driver& d) { d.settingsDialogShown(shown); });
}

void DesktopPresenter::setTraceShown(bool shown) {
    if (shown) {
        trace_.clear();
    }
    traceShown_ = shown;
    traceOn_ = shown;
    notify(Part::TraceShown);
}

void DesktopPresenter::noticeSeen() {
    if (!notices_.empty()) {
        notices_.pop_front();
        notify(Part::Notices);
    }
}

void DesktopPresenter::beginEnding(bool driverRunning) {
    if (ending_) {
        return;
    }
    endingNow_ = true;
    ending_ = true;
    waitingAtEnd_ = driverRunning;
    if (driverRunning) {
        status_ = kEndingNote;
        notify(Part::Status);
    }
    notify(Part::Controls);
    notify(Part::Ending);
}

}  // namespace merovan::desktop
