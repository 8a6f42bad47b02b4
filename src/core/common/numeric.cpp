#include "core/common/numeric.h"

#include <charconv>
#include <string>

#include "core/common/text.h"

namespace merovan::common {

std::optional<double> parseNumber(std::string_view text, std::string_view decimalSeparator) {
    const std::string trimmed = trim(text);
    std::string normalized;
    normalized.reserve(trimmed.size());
    std::size_t pos = 0;
    if (pos < trimmed.size() && (trimmed[pos] == '-' || trimmed[pos] == '+')) {
        if (trimmed[pos] == '-') {
            normalized += '-';
        }
        ++pos;
    }
    bool seenMark = false;
    bool seenDigit = false;
    while (pos < trimmed.size()) {
        const char c = trimmed[pos];
        if (c >= '0' && c <= '9') {
            normalized += c;
            seenDigit = true;
            ++pos;
            continue;
        }
        std::size_t markLength = 0;
        if (c == '.') {
            markLength = 1;
        } else if (!decimalSeparator.empty() &&
                   std::string_view(trimmed).substr(pos).starts_with(decimalSeparator)) {
            markLength = decimalSeparator.size();
        }
        if (markLength == 0 || seenMark) {
            return std::nullopt;
        }
        seenMark = true;
        normalized += '.';
        pos += markLength;
    }
    if (!seenDigit) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
    if (error != std::errc() || end != normalized.data() + normalized.size()) {
        return std::nullopt;
    }
    return value;
}

bool isNumeric(std::string_view text, std::string_view decimalSeparator) {
    return parseNumber(text, decimalSeparator).has_value();
}

std::optional<long long> parseInteger(std::string_view text) {
    std::string trimmed = trim(text);
    if (!trimmed.empty() && trimmed.front() == '+') {
        trimmed.erase(0, 1);
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (trimmed.empty() || error != std::errc() || end != trimmed.data() + trimmed.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace merovan::common
