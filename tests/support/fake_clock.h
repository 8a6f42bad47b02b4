#pragma once

#include <chrono>
#include <mutex>

#include "core/driver/clock.h"

namespace merovan::testing {

// A clock that only moves when told to or when slept on, so that a 20-second time-out runs
// in microseconds. The wall clock starts at 05/12/2026 09:41:07 and moves with it.
class FakeClock final : public driver::Clock {
public:
    TimePoint now() const override;
    void sleep(std::chrono::milliseconds duration) override { advance(duration); }
    common::DateTime localDateTime() const override;

    void advance(std::chrono::nanoseconds duration);
    std::chrono::nanoseconds elapsed() const;
    void setStartDateTime(const common::DateTime& at);

private:
    mutable std::mutex mutex_;
    std::chrono::nanoseconds elapsed_{0};
    common::DateTime start_{2026, 12, 5, 9, 41, 7};
};

}  // namespace merovan::testing
