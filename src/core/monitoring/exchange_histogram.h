#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace merovan::monitoring {

// How long exchanges took, in buckets from a quick answer (20 ms) to the longest wait for a
// silent register (20 s).
class ExchangeHistogram {
  public:
    static constexpr std::array<double, 10> kBounds{0.02, 0.05, 0.1, 0.25, 0.5,
                                                    1.0,  2.5,  5.0, 10.0, 20.0};

    void observe(std::chrono::nanoseconds took) {
        const double seconds = std::chrono::duration<double>(took).count();
        for (std::size_t i = 0; i < kBounds.size(); ++i) {
            if (seconds <= kBounds[i]) {
                ++buckets_[i];
            }
        }
        ++count_;
        sum_ += seconds < 0 ? 0 : seconds;
    }
    // Cumulative: exchanges that took at most kBounds[i].
    std::uint64_t bucket(std::size_t i) const { return buckets_[i]; }
    std::uint64_t count() const { return count_; }
    double sum() const { return sum_; }

  private:
    std::array<std::uint64_t, kBounds.size()> buckets_{};
    std::uint64_t count_ = 0;
    double sum_ = 0;
};

}  // namespace merovan::monitoring
