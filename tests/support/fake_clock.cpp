#include "support/fake_clock.h"

namespace merovan::testing {

driver::Clock::TimePoint FakeClock::now() const {
    std::lock_guard lock(mutex_);
    return TimePoint(std::chrono::duration_cast<TimePoint::duration>(elapsed_)) + std::chrono::hours(1);
}

void FakeClock::advance(std::chrono::nanoseconds duration) {
    std::lock_guard lock(mutex_);
    elapsed_ += duration;
}

std::chrono::nanoseconds FakeClock::elapsed() const {
    std::lock_guard lock(mutex_);
    return elapsed_;
}

void FakeClock::setStartDateTime(const common::DateTime& at) {
    std::lock_guard lock(mutex_);
    start_ = at;
}

common::DateTime FakeClock::localDateTime() const {
    std::lock_guard lock(mutex_);
    // Days are not carried over: tests stay well within one day.
    long long seconds = start_.hour * 3600LL + start_.minute * 60LL + start_.second +
                        std::chrono::duration_cast<std::chrono::seconds>(elapsed_).count();
    common::DateTime at = start_;
    seconds %= 86400;
    at.hour = static_cast<int>(seconds / 3600);
    at.minute = static_cast<int>(seconds / 60 % 60);
    at.second = static_cast<int>(seconds % 60);
    return at;
}

}  // namespace merovan::testing
