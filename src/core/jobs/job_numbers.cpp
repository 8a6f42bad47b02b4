#include "core/jobs/job_numbers.h"

#include <cmath>
#include <limits>

#include "core/common/numeric.h"
#include "core/common/text.h"

namespace merovan::jobs {

std::string toLocaleDecimal(std::string_view text, int decimals, std::string_view separator) {
    if (text.find_first_of(",.") == std::string_view::npos) {
        const int zeros = decimals == -1 ? 2 : std::max(decimals, 0);
        return std::string(text) + std::string(separator) + std::string(zeros, '0');
    }
    if (separator != ",") {
        return common::replaceAll(text, ",", separator);
    }
    return common::replaceAll(text, ".", ",");
}

std::int16_t toInt16(std::string_view text, std::string_view separator) {
    const auto value = common::parseNumber(text, separator);
    if (!value) {
        return -1;
    }
    const double whole = std::floor(*value);
    if (whole < std::numeric_limits<std::int16_t>::min() ||
        whole > std::numeric_limits<std::int16_t>::max()) {
        return -1;
    }
    return static_cast<std::int16_t>(whole);
}

double numericValue(std::string_view text, std::string_view separator) {
    return common::parseNumber(text, separator).value_or(0.0);
}

}  // namespace merovan::jobs
