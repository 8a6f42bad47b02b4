#include "core/link/card_reply.h"

#include <array>

#include "core/common/text.h"
#include "core/link/reply_fields.h"

namespace merovan::link {

std::string formatCardAmount(std::string_view cents) {
    switch (cents.size()) {
        case 0:
            return {};
        case 1:
            return "0,0" + std::string(cents);
        case 2:
            return "0," + std::string(cents);
        default:
            return std::string(cents.substr(0, cents.size() - 2)) + "," +
                   std::string(cents.substr(cents.size() - 2));
    }
}

std::string formatCardReply(std::string_view data) {
    constexpr std::array<std::size_t, 7> kFieldOrder{0, 2, 9, 11, 13, 10, 14};
    std::string text;
    for (const std::size_t index : kFieldOrder) {
        text += replyField(data, index) + ";";
    }
    return text + formatCardAmount(replyField(data, 3));
}

std::optional<std::string> cardReplyLine(std::string_view reply) {
    const std::string prefix = common::left(reply, 5);
    if (prefix == "358OK" || prefix == "355OK") {
        const std::string data = common::trim(common::mid(reply, 6));
        if (data.empty()) {
            return std::nullopt;
        }
        return "ccPay0 = " + formatCardReply(data);
    }
    if (prefix == "356OK") {
        return std::string("ccPay0 = 0,OK");
    }
    return std::nullopt;
}

}  // namespace merovan::link
