#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Number texts of job lines. Every reading accepts only what common::isNumeric accepts
// ("," or "." as the decimal mark); anything else is the reading's failure value.
namespace merovan::jobs {

// A text with the locale's decimal separator: "12" with -1 (two decimals) gives "12,00";
// a text that already has a "," or "." only has its mark turned into the separator.
std::string toLocaleDecimal(std::string_view text, int decimals, std::string_view separator);

// The text rounded down to a 16-bit integer; -1 when not a number or out of range.
std::int16_t toInt16(std::string_view text, std::string_view separator);

// The numeric value of a text, 0 when it is not a number.
double numericValue(std::string_view text, std::string_view separator);

}  // namespace merovan::jobs
