#pragma once

#include <chrono>
#include <mutex>

#include "core/common/clock.h"

namespace merovan::testing {

// A clock that only moves when told to or when slept on, so that a 20-second time-out runs
// in microseconds. The wall clock starts at 05/12/2026 09:41:07 and moves with it.
class FakeClock final : public common::Clock {
  public:
    TimePoint now() const override {
        return TimePoint(std::chrono::duration_cast<TimePoint::duration>(elapsed())) +
               std::chrono::hours(1);
    }
    void sleep(std::chrono::milliseconds duration) override { advance(duration); }
    common::DateTime localDateTime() const override {
        std::lock_guard lock(mutex_);
        // Days are not carried over: tests stay well within one day.
        const auto seconds = (start_.hour * 3600LL + start_.minute * 60LL + start_.second +
                              std::chrono::duration_cast<std::chrono::seconds>(elapsed_).count()) %
                             86400;
        common::DateTime at = start_;
        at.hour = static_cast<int>(seconds / 3600);
        at.minute = static_cast<int>(seconds / 60 % 60);
        at.second = static_cast<int>(seconds % 60);
        return at;
    }

    void advance(std::chrono::nanoseconds duration) {
        std::lock_guard lock(mutex_);
        elapsed_ += duration;
    }
    std::chrono::nanoseconds elapsed() const {
        std::lock_guard lock(mutex_);
        return elapsed_;
    }
    void setStartDateTime(const common::DateTime& at) {
        std::lock_guard lock(mutex_);
        start_ = at;
    }

  private:
    mutable std::mutex mutex_;
    std::chrono::nanoseconds elapsed_{0};
    common::DateTime start_{2026, 12, 5, 9, 41, 7};
};

}  // namespace merovan::testing
