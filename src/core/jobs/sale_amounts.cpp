#include "core/jobs/sale_amounts.h"

#include <cstdio>

#include "core/common/numeric.h"
#include "core/common/text.h"

namespace merovan::jobs {
namespace {

// A POS that writes "5.5" means five and a half, not fifty-five hundredths: an amount with
// one decimal mark and fewer than two digits after it is filled up to whole hundredths.
// Amounts with two decimals, or with thousands marks as well, come out as they always did.
std::string cleanAmount(std::string_view text) {
    std::string out;
    int marks = 0;
    std::size_t digitsAfterMark = 0;
    for (const char c : common::trim(text)) {
        if (c == '.' || c == ',') {
            ++marks;
            digitsAfterMark = 0;
        } else if (c != ' ') {
            out += c;
            ++digitsAfterMark;
        }
    }
    if (marks == 1 && !out.empty() && digitsAfterMark < 2) {
        out.append(2 - digitsAfterMark, '0');
    }
    return out;
}

}  // namespace

void cleanAmounts(std::string& price, std::string& discount, std::string& addon) {
    if (!price.empty() && price != "0") {
        price = cleanAmount(price);
    }
    for (std::string* amount : {&discount, &addon}) {
        if (!amount->empty()) {
            price = common::trim(*amount);
            *amount = cleanAmount(*amount);
        }
    }
}

std::string prepareSaleDescription(std::string_view text) {
    std::string out = common::trim(text);
    if (!out.empty() && out.front() >= '0' && out.front() <= '9') {
        out += ' ';
    }
    return out;
}

std::optional<std::string> priceInHundredths(std::string_view price, std::string_view separator) {
    const auto value = common::parseNumber(price, separator);
    if (!value) {
        return std::nullopt;
    }
    // The product is written with fifteen significant digits, as a plain number would be,
    // and read back by a reader that knows only "." as the decimal mark.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", *value * 100.0);
    std::string text = buffer;
    if (separator != ".") {
        text = text.substr(0, text.find('.'));
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

}  // namespace merovan::jobs
