#pragma once

#include <optional>
#include <string>

#include "core/jobs/run_job.h"
#include "core/link/link_status.h"

namespace merovan::jobs {

// What a job line hands to the sale and payment command builder.
struct LineFields {
    std::string price;             // item price (locale format) or payment amount (hundredths)
    std::string description;       // in register codes; for a raw command the whole command
    std::string code;              // "A" or "N" and the item code, or empty
    std::string category;          // VAT category or department
    std::string paymentType;       // the POS payment number
    std::string addon;             // surcharge amount
    std::string discount;          // discount amount
    std::string percentDiscount;   // receipt discount in percent
    std::string percentSurcharge;  // surcharge in percent
    std::string quantity;          // locale format, three decimals
    std::string unused;            // always empty
    int linetype = 0;              // 1 sale, 2 payment, 3 item adjustment, 9 raw, 51..54 receipt
    std::optional<link::LinkStatus> dropped;  // set by sendLineCommands when the item was not sold
};

inline constexpr int kLineSale = 1;
inline constexpr int kLinePayment = 2;
inline constexpr int kLineItemAdjustment = 3;
inline constexpr int kLineRaw = 9;
inline constexpr int kLinePercentDiscount = 51;
inline constexpr int kLinePercentSurcharge = 52;
inline constexpr int kLineDiscount = 53;
inline constexpr int kLineAddon = 54;

// Builds and sends the register commands of one job line. A receipt adjustment that was
// sent leaves linetype 0.
void sendLineCommands(LineFields& line, const JobSettings& settings, JobContext& context);

}  // namespace merovan::jobs
