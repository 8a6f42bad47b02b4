#pragma once

#include <cstdint>

namespace merovan::jobs {

// Why a job line was not sent: the status of the "Err = " line it leaves in the result file.
// These lie apart from the register's error numbers (positive), the link's statuses (-1, -2,
// -4) and the driver's other negative statuses.
enum class DroppedLine : std::int16_t {
    PriceNotNumber = -301,      // a sale line's price is not a number
    QuantityNotNumber = -302,   // a sale line's quantity is not a number
    QuantityRefused = -303,     // the register refused the quantity command: item not sold
    UnknownVatCategory = -304,  // no VAT category matches the line's rate or description
    EmptyCommand = -305,        // an "snd" or "PRG" line without a command
};

}  // namespace merovan::jobs
