#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/link/register_charset.h"

namespace merovan::link {
namespace {

using common::utf8ToCp1253;

std::string toRegister(std::string_view utf8) {
    RegisterCharset vesko;
    vesko.convert(utf8ToCp1253(utf8), RegisterCharset::kToRegister);
    return vesko.converted();
}

TEST(GreekVeskoTest, ConvertsGreekLettersToRegisterCodes) {
    EXPECT_EQ(toRegister("ΣΑΛΑΤΑ"), "\x66\x41\x88\x41\x54\x41");  // 102 65 136 65 84 65
    EXPECT_EQ(toRegister("α ά"), "\xD6 \x9B");                    // 214, 155
    // Capitals that look Latin print as Latin; accented capitals lose the accent.
    EXPECT_EQ(toRegister("ΑΒΕΖΗΙΚΜΝΟΡΤΥΧ"), "ABEZHIKMNOPTYX");
    EXPECT_EQ(toRegister("ΆΈΉΊΌΎΏ"), "AEHIOY\x8D");
    EXPECT_EQ(toRegister("σςωώϋ"), "\xEC\xED\xFA\xFA\xFB");
    // Letters without a code, and everything that is not Greek, pass through.
    const char* untouched = "ϊΐΰΪΫ Cafe 0123456789 -/.,€";
    EXPECT_EQ(toRegister(untouched), utf8ToCp1253(untouched));

    RegisterCharset vesko;
    vesko.convert(utf8ToCp1253("Σ"), RegisterCharset::kToRegister);
    vesko.convert("\x80", 1);  // other modes keep the last result
    EXPECT_EQ(vesko.converted(), "f");
}

TEST(GreekVeskoTest, DescriptionVatCategoryReadsTheMarker) {
    const std::pair<std::string, const char*> cases[] = {
        {utf8ToCp1253("ΨΩΜΙ ΛΠΣΜ-05"), "5"},
        {utf8ToCp1253("ΛΠΣΜ-13 ΚΡΑΣΙ"), "13"},
        {utf8ToCp1253("ΚΑΦΕΣ ΛΠΣΜ-1"), "1"},  // the field is cut by the end of the text
        {utf8ToCp1253("ΛΠΣΜ- 7"), "7"},
        {utf8ToCp1253("ΛΠΣΜ-1X"), "8"},
        {utf8ToCp1253("ΛΠΣΜ13"), "8"},
        {utf8ToCp1253("ΛΠΣΜ-"), "8"},
        {utf8ToCp1253("xΛΠΣΜ"), "8"},
        {utf8ToCp1253("ΛΠΣM-04"), "4"},          // Latin M
        {"\x8A\x8F\x91\x8B-03", "3"},            // DOS Greek
        {"\x8A\x8F\x91M-02", "2"},               // DOS Greek, Latin M
        {utf8ToCp1253("ΛΠΣM-02 ΛΠΣΜ-06"), "6"},  // the Greek M is looked for first
        {utf8ToCp1253("ΛΠΣ-05 ΣΑΛΑΤΑ"), "D"},
        {"", "D"},
    };
    for (const auto& [description, expected] : cases) {
        EXPECT_EQ(descriptionVatCategory(description, false, "D"), expected)
            << common::cp1253ToUtf8(description);
    }
    EXPECT_EQ(descriptionVatCategory(utf8ToCp1253("ΛΠΣΜ-05"), true, "3"), "3");
}

}  // namespace
}  // namespace merovan::link
