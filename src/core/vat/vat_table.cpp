#include "core/vat/vat_table.h"

#include <charconv>
#include <cmath>

#include "core/common/numeric.h"
#include "core/common/record_file.h"
#include "core/common/text.h"

namespace merovan::vat {
namespace {

constexpr std::size_t kRecordSize = 8;

// Locale-independent, so that matching never depends on the machine's settings. A rate that
// rounds to zero prints without a sign, so that -0.001 still matches 0.
std::string toChars(double rate, std::chars_format format, int precision) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rate, format, precision);
    std::string text(buffer, result.ptr);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

}  // namespace

common::Result<VatRates> loadVatRates(const std::string& path) {
    std::array<unsigned char, kRecordSize * 5> bytes{};
    if (auto read = common::readRecord(path, 0, bytes); !read) {
        return read.error();
    }
    VatRates rates{};
    for (std::size_t k = 0; k < rates.size(); ++k) {
        rates[k] = common::getLittleEndianDouble(
            std::span(bytes).subspan(k * kRecordSize).first<kRecordSize>());
    }
    return rates;
}

common::Result<void> saveVatRates(const std::string& path, const VatRates& rates) {
    std::array<unsigned char, kRecordSize * 5> bytes{};
    for (std::size_t k = 0; k < rates.size(); ++k) {
        common::putLittleEndianDouble(
            std::span(bytes).subspan(k * kRecordSize).first<kRecordSize>(), rates[k]);
    }
    return common::writeRecord(path, 0, bytes);
}

int parseVatRates(std::array<std::string, 5>& texts, VatRates& rates) {
    VatRates parsed{};
    for (std::size_t k = 0; k < texts.size(); ++k) {
        // Users type either mark; the field is corrected in place so they see what was read.
        texts[k] = common::replaceAll(texts[k], ".", ",");
        const std::optional<double> rate = common::parseNumber(texts[k], ",");
        if (!rate) {
            return -1;
        }
        parsed[k] = *rate;
    }
    rates = parsed;
    return 0;
}

std::string formatRateForMatch(double rate) {
    return toChars(rate, std::chars_format::fixed, 2);
}

std::string formatRateForDisplay(double rate, std::string_view decimalSeparator) {
    // Fifteen significant digits, so that 0.1 + 0.2 still shows as 0,3.
    return common::replaceAll(toChars(rate, std::chars_format::general, 15), ".", decimalSeparator);
}

}  // namespace merovan::vat
