#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace merovan::monitoring {

// Tells the service manager how the service is, by the notify protocol: one datagram per
// message to the socket NOTIFY_SOCKET names ("@" at its start: an abstract socket name).
// Without NOTIFY_SOCKET, and where the system has no such manager, it sends nothing.
class ServiceNotifier {
  public:
    // From the environment: NOTIFY_SOCKET, and WATCHDOG_USEC when WATCHDOG_PID is unset or
    // names this process.
    static ServiceNotifier fromEnvironment();
    ServiceNotifier() = default;
    ServiceNotifier(std::string socketName, std::optional<std::chrono::microseconds> watchdog)
        : socketName_(std::move(socketName)), watchdog_(watchdog) {}

    bool active() const { return !socketName_.empty(); }
    // The watchdog's time-out, when the manager keeps one.
    std::optional<std::chrono::microseconds> watchdog() const { return watchdog_; }
    // Sends "READY=1", "STATUS=...", "WATCHDOG=1", ...; false when it could not be sent.
    bool send(const std::string& message) const;

  private:
    std::string socketName_;
    std::optional<std::chrono::microseconds> watchdog_;
};

// This process's id, as WATCHDOG_PID names one.
long long currentProcessId();

}  // namespace merovan::monitoring
