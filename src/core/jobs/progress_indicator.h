#pragma once

#include <string>

#include "core/common/status_display.h"

namespace merovan::jobs {

// The job progress label: Max is the number of lines of the job, Value the line in hand.
class ProgressIndicator {
  public:
    explicit ProgressIndicator(common::StatusDisplay& display) : display_(display) {}

    int maximum() const { return max_; }
    void setMax(int max) { max_ = max; }
    int value() const { return value_; }
    // Stores the value and redraws the label.
    void setValue(int value);

    // " Ολοκληρώθηκε το N%" with N rounded, or "-" before the first line.
    static std::string text(int value, int max);

  private:
    common::StatusDisplay& display_;
    int max_ = 0;
    int value_ = 0;
};

}  // namespace merovan::jobs
