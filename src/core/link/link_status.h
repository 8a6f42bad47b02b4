#pragma once

#include <cstdint>
#include <optional>

namespace merovan::link {

// The status of one exchange or job step, as the "Err = " lines of a result file write it.
// Positive values are the register's own error numbers (registerError); every other value is
// named here and means one thing.
enum class LinkStatus : std::int16_t {
    Success = 0,
    // The serial port cannot be opened, or another program holds it.
    PortUnavailable = -1,
    // The serial port will not take the speed or the 8N1 settings.
    PortSetUpRefused = -2,
    // No complete reply in the time allowed, or the network link could not be opened.
    NoAnswer = -4,
    // A closing command held back: the journal could not record that the receipt closes.
    ClosingNotRecorded = -5,
    // A job file refused before printing.
    JobUnreadable = -10,
    JobNotRegularFile = -11,
    JobTooLarge = -12,
    JobHasNulBytes = -13,
    // A table transfer line whose table numbers are not numbers.
    WrongTableNumber = -255,
    // A job line that was not sent.
    PriceNotNumber = -301,      // a sale line's price is not a number
    QuantityNotNumber = -302,   // a sale line's quantity is not a number
    QuantityRefused = -303,     // the register refused the quantity command: item not sold
    UnknownVatCategory = -304,  // no VAT category matches the line's rate or description
    EmptyCommand = -305,        // an "snd" or "PRG" line without a command
    // An error reply whose number cannot be read ("DE", "DEX1"): a failure all the same.
    UnreadableErrorReply = 9999,
};

// The status of an error reply carrying the register's error number (1 to 32767).
constexpr LinkStatus registerError(std::int16_t number) {
    return static_cast<LinkStatus>(number);
}

// The register's error number a status carries; none for success and the named failures.
constexpr std::optional<std::int16_t> registerErrorNumber(LinkStatus status) {
    const auto value = static_cast<std::int16_t>(status);
    if (value <= 0 || status == LinkStatus::UnreadableErrorReply) {
        return std::nullopt;
    }
    return value;
}

// The number a result file writes for a status.
constexpr int statusNumber(LinkStatus status) {
    return static_cast<std::int16_t>(status);
}

}  // namespace merovan::link
