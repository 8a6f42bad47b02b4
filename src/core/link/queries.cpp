#include "core/link/queries.h"

#include <cmath>
#include <limits>
#include <optional>

#include "core/common/numeric.h"
#include "core/common/text.h"
#include "core/link/reply_fields.h"

namespace merovan::link {
namespace {

// The register writes numbers with "." or ",".
constexpr std::string_view kDecimalMark = ",";

// A field without its padding; numeric fields may end in an LF.
std::string cleanField(std::string_view reply, std::size_t index) {
    return common::trim(common::removeAll(replyField(reply, index), '\n'));
}

// The whole-number value of a numeric text, rounded, when it fits a 16-bit status.
std::optional<std::int16_t> smallInteger(std::string_view text) {
    const auto value = common::parseNumber(text, kDecimalMark);
    if (!value) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t positiveOrFailure(std::string_view text) {
    const auto value = smallInteger(text);
    return value && *value >= 1 ? *value : -1;
}

// Sends a query the way every query does: shown and logged on failure. No value when the
// register refused or did not answer.
std::optional<std::string> ask(CommandSender& sender, const std::string& command) {
    ExchangeOutcome outcome = sender.send(command);
    if (!outcome.succeeded()) {
        return std::nullopt;
    }
    return std::move(outcome.reply);
}

}  // namespace

std::int16_t queryOpenTable(CommandSender& sender) {
    const auto reply = ask(sender, "KX?TO");
    return reply ? positiveOrFailure(cleanField(*reply, 1)) : -1;
}

std::int16_t parseClosedReceipt(std::string_view reply) {
    return positiveOrFailure(cleanField(reply, 2));
}

std::string queryTableTotal(CommandSender& sender, int table) {
    const auto reply = ask(sender, "KXREP" + std::to_string(table) + "TBL");
    if (!reply) {
        return "-1";
    }
    std::string total = cleanField(*reply, 2);
    const auto value = common::parseNumber(total, kDecimalMark);
    return value && *value >= 0 ? total : "-1";
}

std::string queryTableList(CommandSender& sender) {
    const auto reply = ask(sender, "KXREPTBL");
    if (!reply) {
        return "-1";
    }
    const std::string list = cleanField(*reply, 1);
    return list.empty() ? "-1" : common::removeAll(list, ' ');
}

std::string queryReceiptCounters(CommandSender& sender) {
    const auto reply = ask(sender, "KXRE");
    if (!reply) {
        return "-1, -1";
    }
    // The counters are read from the first five characters of their fields, padding included.
    const auto counter = [&](std::size_t index) {
        return common::trim(common::removeAll(common::left(replyField(*reply, index), 5), '\n'));
    };
    const std::string first = counter(1);
    const std::string second = counter(2);
    if (common::isNumeric(first, kDecimalMark) && positiveOrFailure(second) >= 1) {
        return first + ", " + second;
    }
    return "-1, -1";
}

}  // namespace merovan::link
