#pragma once

#include <chrono>

#include "core/common/date_time.h"

namespace merovan::common {

// Time as the driver sees it: a monotonic clock for deadlines and pauses, and the wall clock
// for the dates written into result lines. Tests replace it with a fake clock.
class Clock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    virtual common::DateTime localDateTime() const = 0;
};

class SystemClock final : public Clock {
  public:
    TimePoint now() const override;
    void sleep(std::chrono::milliseconds duration) override;
    common::DateTime localDateTime() const override;
};

}  // namespace merovan::common
