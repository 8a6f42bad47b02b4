#pragma once

#include <optional>
#include <string>
#include <string_view>

// Amount texts as the sale and payment commands want them.
namespace merovan::jobs {

// Cleans the amount texts of a discount or payment line in place: outer blanks, then every
// ".", "," and blank inside removed (12.50 becomes 1250, 5.5 becomes 550). When a discount or addon
// is given, price is left holding that text with its outer blanks removed (the addon's when both
// are).
void cleanAmounts(std::string& price, std::string& discount, std::string& addon);

// The sale text with outer blanks removed and, when it starts with a digit, one blank after
// it, so that the register does not read the digits as part of the amount.
std::string prepareSaleDescription(std::string_view text);

// An item price in whole hundredths as the register takes it (1,50 gives 150). Where the
// separator is not "." a fraction of a hundredth is cut off. No value when the price is not
// a number.
std::optional<std::string> priceInHundredths(std::string_view price, std::string_view separator);

}  // namespace merovan::jobs
