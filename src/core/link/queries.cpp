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
std::string CleanField(std::string_view reply, std::size_t index) {
    return common::trim(common::removeAll(ReplyField(reply, index), '\n'));
}

// The whole-number value of a numeric text, rounded, when it fits a 16-bit status.
std::optional<std::int16_t> SmallInteger(std::string_view text) {
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

std::int16_t PositiveOrFailure(std::string_view text) {
    const auto value = SmallInteger(text);
    return value && *value >= 1 ? *value : -1;
}

// Sends a query the way every query does: shown and logged on failure. No value when the
// register refused or did not answer.
std::optional<std::string> Ask(Link& link, const std::string& command) {
    std::string reply;
    link.SendCommand(command, reply, false);
    if (link.registerStatus() != 0) {
        return std::nullopt;
    }
    return reply;
}

}  // namespace

std::int16_t QueryOpenTable(Link& link) {
    const auto reply = Ask(link, "KX?TO");
    return reply ? PositiveOrFailure(CleanField(*reply, 1)) : -1;
}

std::int16_t ParseClosedReceipt(std::string_view reply) {
    return PositiveOrFailure(CleanField(reply, 2));
}

std::string QueryTableTotal(Link& link, int table) {
    const auto reply = Ask(link, "KXREP" + std::to_string(table) + "TBL");
    if (!reply) {
        return "-1";
    }
    std::string total = CleanField(*reply, 2);
    const auto value = common::parseNumber(total, kDecimalMark);
    return value && *value >= 0 ? total : "-1";
}

std::string QueryTableList(Link& link) {
    const auto reply = Ask(link, "KXREPTBL");
    if (!reply) {
        return "-1";
    }
    const std::string list = CleanField(*reply, 1);
    return list.empty() ? "-1" : common::removeAll(list, ' ');
}

std::string QueryReceiptCounters(Link& link) {
    const auto reply = Ask(link, "KXRE");
    if (!reply) {
        return "-1, -1";
    }
    // The counters are read from the first five characters of their fields, padding included.
    const auto counter = [&](std::size_t index) {
        return common::trim(common::removeAll(common::left(ReplyField(*reply, index), 5), '\n'));
    };
    const std::string first = counter(1);
    const std::string second = counter(2);
    if (common::isNumeric(first, kDecimalMark) && PositiveOrFailure(second) >= 1) {
        return first + ", " + second;
    }
    return "-1, -1";
}

}  // namespace merovan::link
