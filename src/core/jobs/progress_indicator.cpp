#include "core/jobs/progress_indicator.h"

#include <cmath>

namespace merovan::jobs {

void ProgressIndicator::setValue(int value) {
    value_ = value;
    display_.setProgressText(text(value_, max_));
}

std::string ProgressIndicator::text(int value, int max) {
    if (value < 1) {
        return "-";
    }
    // A label asked to move before its end is known counts as complete.
    const long long percent =
        max <= 0 ? 100 : std::llround(static_cast<double>(value) * 100.0 / max);
    return " Ολοκληρώθηκε το " + std::to_string(percent) + "%";
}

}  // namespace merovan::jobs
