#pragma once

#include <string>
#include <string_view>

#include "core/vat/vat_table.h"

namespace merovan::jobs {

// The VAT category of a sale line and the rate text it carries on to later lines.
struct VatCategory {
    std::string category;  // "1".."5", a marker's or department's number, or empty
    std::string rateText;  // the line's rate as "0.00"
};

// rateField: the line's rate columns; description: its raw description columns;
// department: its department columns; directDepartment: [dir_depa] is "true".
VatCategory findVatCategory(std::string_view rateField, std::string_view description,
                            std::string_view department, bool directDepartment,
                            const vat::VatRates& rates, std::string_view separator);

}  // namespace merovan::jobs
