#pragma once

#include <optional>
#include <string_view>

namespace merovan::common {

// The driver's test for "numeric": blanks around are allowed, then an optional sign and
// digits with at most one decimal mark, which may be "." or the locale's separator. Nothing
// else (no exponent, no thousands marks, no currency signs) passes.
std::optional<double> parseNumber(std::string_view text, std::string_view decimalSeparator);
bool isNumeric(std::string_view text, std::string_view decimalSeparator);

// A whole number of the same form without a decimal mark, when it fits in a long long.
std::optional<long long> parseInteger(std::string_view text);

}  // namespace merovan::common
