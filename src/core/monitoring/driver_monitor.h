#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "core/common/driver_observer.h"
#include "core/monitoring/exchange_histogram.h"

namespace merovan::monitoring {

// What the driver has told about itself since it started: its state for a status answer and
// its counters for a metrics scrape. Fed on the driver's thread, read from any thread.
class DriverMonitor final : public common::DriverObserver {
  public:
    // version: the program's; started: the wall-clock start, seconds since 1970.
    explicit DriverMonitor(std::string version, double started = 0);

    // Called on the feeding thread after each event, outside the monitor's lock; significant:
    // the state or the on-line flag changed. Set before the driver runs.
    void setListener(std::function<void(bool significant)> listener) {
        listener_ = std::move(listener);
    }

    void stateChanged(common::DriverState state) override;
    void captionChanged(const std::string& caption) override;
    void registerReachable(bool reachable) override;
    void exchangeEnded(std::chrono::nanoseconds took, int status) override;
    void jobStarted() override;
    void jobEnded(common::JobEnding ending, int status) override;
    void cardPayment(common::CardOutcome outcome) override;
    void queueLength(std::size_t waiting) override;

    // {"state", "online", "lastError": {"number", "text"}, "jobsPrinted", "queueLength",
    //  "version", "caption"}; texts UTF-8.
    nlohmann::json statusJson() const;
    // The counters in the OpenMetrics text format, ending with "# EOF".
    std::string openMetricsText() const;

    bool online() const;
    std::string caption() const;

  private:
    struct State {
        common::DriverState state = common::DriverState::Searching;
        bool reachable = true;
        std::string caption;
        int lastErrorNumber = 0;
        std::int64_t jobsPrinted = 0;
        std::size_t queueLength = 0;
        bool inJob = false;
        int jobFailure = 0;  // the first failed exchange's status in the running job
        // (ending, status) -> jobs
        std::map<std::pair<common::JobEnding, int>, std::uint64_t> jobs;
        std::map<int, std::uint64_t> errors;  // status -> failed exchanges
        std::map<common::CardOutcome, std::uint64_t> cards;
        ExchangeHistogram exchanges;
    };
    bool isOnline() const;
    // Runs change under the lock, then tells the listener.
    template <typename Change>
    void update(Change change);

    const std::string version_;
    const double started_;
    std::function<void(bool)> listener_;
    mutable std::mutex mutex_;
    State s_;
};

// The status word of a state: "searching", "ready", "printing", "stopped", "reporting",
// "offline", "one-job".
const char* stateName(common::DriverState state);

}  // namespace merovan::monitoring
