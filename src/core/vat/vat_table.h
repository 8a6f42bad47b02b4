#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/common/result.h"

// vats.dat: the percentages of the register's five VAT categories, five little-endian doubles.
namespace merovan::vat {

using VatRates = std::array<double, 5>;
inline constexpr const char* kVatFileName = "vats.dat";

// A missing file is created empty and reads as all zeros, a short one as zeros beyond its end.
common::Result<VatRates> loadVatRates(const std::string& path);
common::Result<void> saveVatRates(const std::string& path, const VatRates& rates);
// Reads five texts typed by the user ("." becomes "," in the text itself), with "," as the
// decimal mark whatever the locale. 0 when all five convert, -1 at the first that does not.
int parseVatRates(std::array<std::string, 5>& texts, VatRates& rates);
// A rate formatted "0.00" with "." as the mark (23 gives "23.00"), to match a line's rate.
std::string formatRateForMatch(double rate);
// A rate as a settings field shows it, with the user's decimal separator (6.5 gives "6,5" under
// ",", 23 gives "23", 0 gives "0").
std::string formatRateForDisplay(double rate, std::string_view decimalSeparator);

}  // namespace merovan::vat
