#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace merovan::link {

// A card amount in cents without separator as the result file writes it: "5" gives "0,05",
// "50" gives "0,50", "1250" gives "12,50". Empty stays empty.
std::string formatCardAmount(std::string_view cents);

// The ccPay text of a card terminal's answer data (the reply after "358OK"/"355OK", split at
// ":"): fields 0, 2, 9, 11, 13, 10 and 14, each followed by ";", then the amount of field 3.
// Fields the answer lacks are written empty.
std::string formatCardReply(std::string_view data);

// The result-file line a card-payment reply calls for ("ccPay0 = ..."), or none.
std::optional<std::string> cardReplyLine(std::string_view reply);

}  // namespace merovan::link
