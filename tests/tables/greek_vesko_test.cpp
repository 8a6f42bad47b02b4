#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/link/greek_vesko.h"

namespace merovan::link {
namespace {

using common::utf8ToCp1253;

std::string toRegister(std::string_view utf8) {
    GreekVesko vesko;
    vesko.InSring(utf8ToCp1253(utf8), GreekVesko::kToRegister);
    return vesko.GreekString();
}

std::string bytes(std::initializer_list<int> codes) {
    std::string out;
    for (const int c : codes) {
        out += static_cast<char>(c);
    }
    return out;
}

TEST(GreekVeskoTest, ConvertsGreekLettersToRegisterCodes) {
    EXPECT_EQ(toRegister("ΣΑΛΑΤΑ"), bytes({102, 65, 136, 65, 84, 65}));
    EXPECT_EQ(toRegister("α ά"), bytes({214, ' ', 155}));
    // Capitals that look Latin print as Latin; accented capitals lose the accent.
    EXPECT_EQ(toRegister("ΑΒΕΖΗΙΚΜΝΟΡΤΥΧ"), "ABEZHIKMNOPTYX");
    EXPECT_EQ(toRegister("ΆΈΉΊΌΎΏ"), bytes({65, 69, 72, 73, 79, 89, 141}));
    EXPECT_EQ(toRegister("σςωώϋ"), bytes({236, 237, 250, 250, 251}));
    // Letters the register has no code for, and everything that is not Greek, pass through.
    const std::string untouched = utf8ToCp1253("ϊΐΰΪΫ Cafe 0123456789 -/.,€");
    EXPECT_EQ(toRegister("ϊΐΰΪΫ Cafe 0123456789 -/.,€"), untouched);
    EXPECT_EQ(toRegister(""), "");
}

TEST(GreekVeskoTest, EveryGreekLetterHasOneCodeAndLengthIsKept) {
    // The 64 entries change every byte they cover but ϋ, whose code is its own 1253 byte.
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    GreekVesko vesko;
    vesko.InSring(all, GreekVesko::kToRegister);
    ASSERT_EQ(vesko.GreekString().size(), 256u);
    int changed = 0;
    for (int b = 0; b < 256; ++b) {
        changed +=
            vesko.GreekString()[static_cast<std::size_t>(b)] != all[static_cast<std::size_t>(b)];
    }
    EXPECT_EQ(changed, 63);
}

TEST(GreekVeskoTest, OtherModesKeepTheLastResult) {
    GreekVesko vesko;
    vesko.InSring(utf8ToCp1253("Σ"), GreekVesko::kToRegister);
    vesko.InSring("\x80", 1);
    vesko.InSring("\x80", 2);
    EXPECT_EQ(vesko.GreekString(), "f");
    vesko.InSring("\x80", GreekVesko::kFromDosGreek);
    EXPECT_EQ(vesko.GreekString(), utf8ToCp1253("Α"));
}

TEST(GreekVeskoTest, DescriptionVatCategoryReadsTheMarker) {
    struct Case {
        std::string description;  // code page 1253 bytes
        const char* expected;
    };
    const Case cases[] = {
        {utf8ToCp1253("ΨΩΜΙ ΛΠΣΜ-05"), "5"},
        {utf8ToCp1253("ΛΠΣΜ-13 ΚΡΑΣΙ"), "13"},
        {utf8ToCp1253("ΚΑΦΕΣ ΛΠΣΜ-1"), "1"},
        {utf8ToCp1253("ΛΠΣΜ-00"), "0"},
        {utf8ToCp1253("ΛΠΣΜ- 7"), "7"},
        {utf8ToCp1253("ΛΠΣΜ-1X"), "8"},
        {utf8ToCp1253("ΛΠΣΜ13"), "8"},
        {utf8ToCp1253("ΛΠΣΜ-"), "8"},
        {utf8ToCp1253("xΛΠΣΜ"), "8"},
        {utf8ToCp1253("ΛΠΣM-04"), "4"},          // Latin M
        {"\x8A\x8F\x91\x8B-03", "3"},            // DOS Greek marker
        {"\x8A\x8F\x91M-02", "2"},               // DOS Greek, Latin M
        {utf8ToCp1253("ΛΠΣM-02 ΛΠΣΜ-06"), "6"},  // the Greek marker is looked for first
        {utf8ToCp1253("ΛΠΣ-05 ΣΑΛΑΤΑ"), "D"},
        {"", "D"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescriptionVatCategory(c.description, false, "D"), c.expected)
            << common::cp1253ToUtf8(c.description);
    }
    EXPECT_EQ(DescriptionVatCategory(utf8ToCp1253("ΛΠΣΜ-05"), true, "3"), "3");
}

}  // namespace
}  // namespace merovan::link
