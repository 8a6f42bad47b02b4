#include <gtest/gtest.h>

#include "core/link/card_reply.h"

namespace merovan::link {
namespace {

TEST(CardReply, Lines) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"356OK", "ccPay0 = 0,OK"},
        // Field 0 is what stands between the code and the first ":".
        {"355OK:a:b:7:d:e:f:g:h:i:j:k:l:m:n", "ccPay0 = ;b;i;k;m;j;n;0,07"},
        {"358OK x:a:b:50", "ccPay0 = x;b;;;;;;0,50"},
        {"358OK:a:b:100", "ccPay0 = ;b;;;;;;1,00"},
        // Short or incomplete answers keep the fields they have.
        {"358OK:11:22:", "ccPay0 = ;22;;;;;;"},
        {"358OK   ", std::nullopt},
        {"OK", std::nullopt},
        {"357OK:1:2:3:4", std::nullopt},
    };
    for (const auto& [reply, line] : cases) {
        EXPECT_EQ(cardReplyLine(reply), line) << reply;
    }
}

}  // namespace
}  // namespace merovan::link
