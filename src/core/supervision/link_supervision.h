#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "core/common/clock.h"
#include "core/common/status_display.h"
#include "core/jobs/register_session.h"

namespace merovan::supervision {

// Finds the register after start-up: once a second it looks at the last exchange and, while
// that went well, asks the register to clear its error state. Three failed ticks make the
// register off-line; a successful exchange in between (an error clear) lets it try again.
class LinkSupervision {
  public:
    enum class Outcome {
        Counted,  // the last exchange had failed: counted, nothing sent
        Failed,   // "KXCL" sent and not answered
        Online,   // "KXCL" answered
        Offline,  // off-line texts shown
    };

    static constexpr int kLimit = 3;

    // retryWhileOffline: how often an off-line register is asked again (none: never); a port
    // that could not be opened is tried again every tick.
    explicit LinkSupervision(std::optional<std::chrono::seconds> retryWhileOffline = {})
        : retryWhileOffline_(retryWhileOffline) {}

    // One tick of the timer. linkErrorText is the main window's reply text; beforeAttempt runs
    // just before "KXCL" is sent to find the register.
    Outcome tick(jobs::RegisterSession& session, common::StatusDisplay& display,
                 common::Clock& clock, std::string& linkErrorText,
                 const std::function<void()>& beforeAttempt = {});

    // A successful exchange outside supervision: the register answers again.
    void resetFailures() { failures_ = 0; }
    int failures() const { return failures_; }

  private:
    std::optional<std::chrono::seconds> retryWhileOffline_;
    int failures_ = 0;
    std::optional<common::Clock::TimePoint> lastRetry_;
};

}  // namespace merovan::supervision
