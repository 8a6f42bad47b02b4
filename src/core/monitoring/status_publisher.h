#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/monitoring/driver_monitor.h"
#include "core/monitoring/service_notifier.h"
#include "core/monitoring/status_lock.h"

namespace merovan::monitoring {

// Hands what the monitor knows to those outside who ask without calling: the status file in
// the working directory, and the service manager (ready once the register is found, the
// caption as the service's status, the watchdog while the driver's thread turns). Runs on the
// driver's thread.
class StatusPublisher {
  public:
    // Takes the status lock of workDir and writes the first status; a lock that cannot be
    // taken leaves the status file alone (told in problem()).
    StatusPublisher(DriverMonitor& monitor, ServiceNotifier notifier, const std::string& workDir);

    // The monitor took in an event; significant: the state or the on-line flag changed. The
    // file is replaced at once for a significant change, else at most once a second.
    void changed(bool significant);
    // The driver's loop turned: the watchdog is fed and a status held back is written.
    void beat();
    // How often beat must come: at most a second, and half the watchdog's time-out.
    std::chrono::milliseconds beatInterval() const;
    // The program ends.
    void stopping();

    const std::string& problem() const { return problem_; }

  private:
    void writeFile();
    void feedWatchdog();

    using SteadyClock = std::chrono::steady_clock;
    DriverMonitor& monitor_;
    ServiceNotifier notifier_;
    std::string problem_;  // before lock_: taking the lock fills it
    std::unique_ptr<StatusLock> lock_;
    std::string path_;
    std::string written_;     // the last text written to the file
    std::string caption_;     // the last caption told to the service manager
    bool readyTold_ = false;  // READY=1 has gone
    bool pending_ = false;    // a change not yet written
    SteadyClock::time_point lastWrite_{};
    SteadyClock::time_point lastPing_{};
};

}  // namespace merovan::monitoring
