#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "apps/http_interface.h"
#include "core/common/driver_observer.h"
#include "core/common/message_box.h"
#include "core/common/result.h"
#include "core/driver/driver.h"
#include "core/driver/driver_loop.h"
#include "core/driver/posted_jobs.h"
#include "core/monitoring/driver_monitor.h"
#include "core/monitoring/status_publisher.h"

namespace merovan::apps {

// What the outside sees of a running driver, the same in every program: its monitor, which
// feeds the status file and the service manager, and the network interface when configured.
class DriverWatch {
  public:
    // httpOption: an address given on the command line, which wins over merovan.conf's. An
    // error (a bad address, a token file others may read) must stop the program.
    static common::Result<std::unique_ptr<DriverWatch>> prepare(const std::string& httpOption);
    // For a desktop program: the watch of its polling driver, connected to the driver's services
    // and options, or nullptr for a one-job run (which must not take the status file or the
    // network address of a driver that polls). nullopt when refused, after say showed why.
    using Say = std::function<void(const common::MessageBox& box)>;
    static std::optional<std::unique_ptr<DriverWatch>> forDesktop(bool polling,
                                                                  driver::DriverServices& services,
                                                                  driver::DriverOptions& options,
                                                                  const Say& say);

    DriverWatch(const DriverWatch&) = delete;
    DriverWatch& operator=(const DriverWatch&) = delete;
    ~DriverWatch();

    // Worth a log line when not empty: the status file could not be taken or written.
    const std::string& problem() const { return publisher_.problem(); }
    // For the driver's services and options.
    common::DriverObserver* observer() { return &monitor_; }
    driver::PostedJobs* postedJobs() { return web_ ? &web_->postedJobs() : nullptr; }
    void connect(driver::DriverServices& services, driver::DriverOptions& options) {
        services.observer = observer();
        options.postedJobs = postedJobs();
    }

    // Before the loop runs: its heartbeat keeps the status file and the service manager's
    // watchdog fed, and the network interface starts serving on it.
    common::Result<void> attach(driver::DriverLoop& loop);
    // attach for a desktop program: an interface that cannot serve is said, and the program
    // goes on printing without it.
    void attach(driver::DriverLoop& loop, const Say& say);
    // Once the loop has ended: the interface closes and the status file says so.
    void detach();

  private:
    explicit DriverWatch(std::unique_ptr<HttpInterface> web);

    monitoring::DriverMonitor monitor_;
    monitoring::StatusPublisher publisher_;
    std::unique_ptr<HttpInterface> web_;
    bool detached_ = false;
};

}  // namespace merovan::apps
