#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "core/common/driver_state.h"

namespace merovan::common {

// How a job left the driver.
enum class JobEnding {
    Done,         // read to its end
    Aborted,      // a table line cut it short (exit code 1)
    Refused,      // not printed: the file could not be read as a job
    Interrupted,  // found cut short by a crash or power cut when the driver started
};

// How a card payment ended.
enum class CardOutcome {
    Paid,      // the terminal's answer gave a ccPay line
    Declined,  // the register answered without a card approval
    Failed,    // the register refused the payment or did not answer
    Late,      // the terminal did not answer within its wait
    PaidLate,  // the answer of a terminal that had run out of time came after all
};

// What the driver tells the outside about itself: a monitor, a status file, the service
// manager. Every call comes from the driver's thread, at the moment it happens; each is
// optional to implement.
class DriverObserver {
  public:
    virtual ~DriverObserver() = default;

    virtual void stateChanged(DriverState /*state*/) {}
    // The window caption, UTF-8.
    virtual void captionChanged(const std::string& /*caption*/) {}
    // The register answers (true) or cannot be reached (false).
    virtual void registerReachable(bool /*reachable*/) {}
    // One command exchange ended; status is the number a result file's "Err = " line gives
    // it (0: answered, positive: the register's error number, negative: the link failed).
    virtual void exchangeEnded(std::chrono::nanoseconds /*took*/, int /*status*/) {}
    virtual void jobStarted() {}
    // status: a refused job's number as its result file gives it; 0 otherwise.
    virtual void jobEnded(JobEnding /*ending*/, int /*status*/) {}
    virtual void cardPayment(CardOutcome /*outcome*/) {}
    // How many jobs wait to be printed.
    virtual void queueLength(std::size_t /*waiting*/) {}
};

}  // namespace merovan::common
