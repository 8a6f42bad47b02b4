#pragma once

#include <optional>
#include <string_view>

namespace merovan::common {

// The one reader of amounts and other numbers from jobs and replies: blanks around are
// allowed, then an optional sign and digits with at most one decimal mark, which may be ",",
// "." or the locale's separator whatever the locale says, since a POS or a register writes
// its own mark. Nothing else (no exponent, no thousands marks, no currency signs) passes.
std::optional<double> parseNumber(std::string_view text, std::string_view decimalSeparator);
bool isNumeric(std::string_view text, std::string_view decimalSeparator);

// A whole number of the same form without a decimal mark, when it fits in a long long.
std::optional<long long> parseInteger(std::string_view text);

}  // namespace merovan::common
