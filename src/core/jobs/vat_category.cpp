#include "core/jobs/vat_category.h"

#include "core/common/numeric.h"
#include "core/common/text.h"
#include "core/jobs/job_numbers.h"
#include "core/link/register_charset.h"

namespace merovan::jobs {
namespace {

// Categories are compared as numbers ("03" is "3"); an empty one differs from any.
bool sameCategory(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return a == b;
    }
    const auto x = common::parseInteger(a);
    const auto y = common::parseInteger(b);
    return x && y ? *x == *y : a == b;
}

}  // namespace

VatCategory findVatCategory(std::string_view rateField, std::string_view description,
                            std::string_view department, bool directDepartment,
                            const vat::VatRates& rates, std::string_view separator) {
    VatCategory found;
    const std::string rate = toLocaleDecimal(common::trim(rateField), -1, separator);
    const auto value = common::parseNumber(rate, separator);
    found.rateText = value ? vat::formatRateForMatch(*value) : common::replaceAll(rate, ",", ".");

    // Every category is tried, so that of two with the same rate the higher one wins.
    for (std::size_t index = 0; index < rates.size(); ++index) {
        if (vat::formatRateForMatch(rates[index]) == found.rateText) {
            found.category = std::to_string(index + 1);
        }
    }

    if (!directDepartment) {
        const std::string marked = link::descriptionVatCategory(description, false, found.category);
        if (!marked.empty() && !sameCategory(marked, found.category)) {
            found.category = marked;
        }
    } else if (const std::string trimmed = common::trim(department); !trimmed.empty()) {
        found.category = trimmed;
    }
    return found;
}

}  // namespace merovan::jobs
