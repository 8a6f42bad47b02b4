#include "core/monitoring/driver_monitor.h"

#include "core/link/register_errors.h"

namespace merovan::monitoring {

using common::DriverState;

const char* stateName(DriverState state) {
    switch (state) {
        case DriverState::Searching:
            return "searching";
        case DriverState::Ready:
            return "ready";
        case DriverState::Printing:
            return "printing";
        case DriverState::Stopped:
            return "stopped";
        case DriverState::Reporting:
            return "reporting";
        case DriverState::Offline:
            return "offline";
        case DriverState::OneJob:
            return "one-job";
    }
    return "searching";
}

DriverMonitor::DriverMonitor(std::string version, double started)
    : version_(std::move(version)), started_(started) {}

template <typename Change>
void DriverMonitor::update(Change change) {
    bool significant = false;
    {
        std::lock_guard lock(mutex_);
        const bool wasOnline = isOnline();
        const DriverState wasState = s_.state;
        change(s_);
        significant = wasOnline != isOnline() || wasState != s_.state;
    }
    if (listener_) {
        listener_(significant);
    }
}

// Found, and not lost since: the states after the register first answered, while its link
// holds.
bool DriverMonitor::isOnline() const {
    switch (s_.state) {
        case DriverState::Searching:
        case DriverState::Offline:
            return false;
        case DriverState::Ready:
        case DriverState::Printing:
        case DriverState::Stopped:
        case DriverState::Reporting:
        case DriverState::OneJob:
            break;
    }
    return s_.reachable;
}

void DriverMonitor::stateChanged(DriverState state) {
    update([state](State& s) {
        s.state = state;
        if (state == DriverState::Offline) {
            s.reachable = false;
        }
    });
}

void DriverMonitor::captionChanged(const std::string& caption) {
    update([&caption](State& s) { s.caption = caption; });
}

void DriverMonitor::registerReachable(bool reachable) {
    update([reachable](State& s) { s.reachable = reachable; });
}

void DriverMonitor::exchangeEnded(std::chrono::nanoseconds took, int status) {
    update([took, status](State& s) {
        s.exchanges.observe(took);
        if (status == 0) {
            return;
        }
        ++s.errors[status];
        if (status > 0) {
            s.lastErrorNumber = status;
        }
        if (s.inJob && s.jobFailure == 0) {
            s.jobFailure = status;
        }
    });
}

void DriverMonitor::jobStarted() {
    update([](State& s) {
        s.inJob = true;
        s.jobFailure = 0;
    });
}

void DriverMonitor::jobEnded(common::JobEnding ending, int status) {
    update([ending, status](State& s) {
        const bool printed =
            ending == common::JobEnding::Done || ending == common::JobEnding::Aborted;
        if (printed && s.inJob) {
            ++s.jobsPrinted;
        }
        ++s.jobs[{ending, printed && s.inJob ? s.jobFailure : status}];
        s.inJob = false;
    });
}

void DriverMonitor::cardPayment(common::CardOutcome outcome) {
    update([outcome](State& s) { ++s.cards[outcome]; });
}

void DriverMonitor::queueLength(std::size_t waiting) {
    update([waiting](State& s) { s.queueLength = waiting; });
}

bool DriverMonitor::online() const {
    std::lock_guard lock(mutex_);
    return isOnline();
}

std::string DriverMonitor::caption() const {
    std::lock_guard lock(mutex_);
    return s_.caption;
}

nlohmann::json DriverMonitor::statusJson() const {
    std::lock_guard lock(mutex_);
    std::string errorText;
    if (s_.lastErrorNumber != 0) {
        errorText = link::registerErrorText(std::to_string(s_.lastErrorNumber)).value_or("");
    }
    return {
        {"state", stateName(s_.state)},
        {"online", isOnline()},
        {"lastError", {{"number", s_.lastErrorNumber}, {"text", errorText}}},
        {"jobsPrinted", s_.jobsPrinted},
        {"queueLength", s_.queueLength},
        {"version", version_},
        {"caption", s_.caption},
    };
}

}  // namespace merovan::monitoring
