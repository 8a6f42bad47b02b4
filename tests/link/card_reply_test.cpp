#include <gtest/gtest.h>

#include "core/link/card_reply.h"
#include "core/link/trace.h"

namespace merovan::link {
namespace {

TEST(CardReply, Lines) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"356OK", "ccPay0 = 0,OK"},
        // Field 0 is what stands between the code and the first ":".
        {"355OK:a:b:7:d:e:f:g:h:i:j:k:l:m:n", "ccPay0 = ;b;i;k;m;j;n;0,07"},
        {"358OK x:a:b:7", "ccPay0 = x;b;;;;;;0,07"},
        // Short or incomplete answers keep the fields they have.
        {"358OK:11:22:5", "ccPay0 = ;22;;;;;;0,05"},
        {"358OK:11:22:", "ccPay0 = ;22;;;;;;"},
        {"358OK   ", std::nullopt},
        {"358OK", std::nullopt},
        {"OK", std::nullopt},
        {"", std::nullopt},
        {"357OK:1:2:3:4", std::nullopt},
    };
    for (const auto& [reply, line] : cases) {
        EXPECT_EQ(CardReplyLine(reply), line) << reply;
    }
}

TEST(CardReply, Amounts) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""}, {"5", "0,05"}, {"50", "0,50"}, {"100", "1,00"}, {"1250", "12,50"}};
    for (const auto& [cents, text] : cases) {
        EXPECT_EQ(FormatCardAmount(cents), text) << cents;
    }
}

TEST(Trace, RendersControlCharacters) {
    EXPECT_EQ(RenderForTrace(std::string("OK\r\x04", 4)), "OKASC(13) ASC(4) ");
    EXPECT_EQ(RenderForTrace(std::string("\0\x1f \xe1", 4)), std::string("ASC(0) ASC(31)  \xe1"));
}

}  // namespace
}  // namespace merovan::link
