#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/link/greek_vesko.h"
#include "iconv_table.h"

namespace merovan::common {
namespace {

using testing::IconvTable;

std::string byteText(unsigned b) {
    return std::string(1, static_cast<char>(b));
}

TEST(CodepageTest, Cp1253AgreesWithTheSystemTable) {
    IconvTable toUnicode("UTF-32LE", "CP1253");
    IconvTable toUtf8("UTF-8", "CP1253");
    ASSERT_TRUE(toUnicode.valid() && toUtf8.valid());
    for (unsigned b = 0; b < 256; ++b) {
        const auto expected = toUnicode.decode(static_cast<unsigned char>(b));
        // Undefined bytes carry their own value, so that any byte survives a round trip.
        EXPECT_EQ(cp1253ToUnicode(static_cast<unsigned char>(b)), expected.value_or(b)) << b;
        const std::string utf8 = cp1253ToUtf8(byteText(b));
        if (expected) {
            EXPECT_EQ(utf8, toUtf8.convert(byteText(b))) << b;
        }
        EXPECT_EQ(utf8ToCp1253(utf8), byteText(b)) << b;
    }
}

TEST(CodepageTest, Cp737AgreesWithTheSystemTable) {
    IconvTable toUnicode("UTF-32LE", "CP737");
    ASSERT_TRUE(toUnicode.valid());
    for (unsigned b = 0; b < 256; ++b) {
        EXPECT_EQ(cp737ToUnicode(static_cast<unsigned char>(b)),
                  toUnicode.decode(static_cast<unsigned char>(b)))
            << b;
    }
}

TEST(CodepageTest, Utf8ToCp1253HoldsWhatTheSystemTableHolds) {
    IconvTable fromUtf8("CP1253", "UTF-8");
    IconvTable toUnicode("UTF-32LE", "CP1253");
    ASSERT_TRUE(fromUtf8.valid() && toUnicode.valid());
    for (char32_t c = 0x80; c < 0x2600; ++c) {
        if (c >= 0xD800 && c < 0xE000) {
            continue;
        }
        std::string utf8;
        appendUtf8(utf8, c);
        // The code points of undefined bytes stand for those bytes (the round trip above).
        const bool undefinedByte = c < 0x100 && !toUnicode.decode(static_cast<unsigned char>(c));
        const auto expected = undefinedByte ? byteText(c) : fromUtf8.convert(utf8);
        EXPECT_EQ(utf8ToCp1253(utf8), expected.value_or("?")) << static_cast<unsigned>(c);
    }
    // Malformed sequences go through byte by byte.
    EXPECT_EQ(utf8ToCp1253("a\xC1"
                           "b"),
              "a\xC1"
              "b");
    EXPECT_EQ(utf8ToCp1253("\xCE"), "\xCE");
}

TEST(CodepageTest, DosGreekDecodingFollowsTheSystemTables) {
    IconvTable oemToAnsi("CP1253", "CP737");
    ASSERT_TRUE(oemToAnsi.valid());
    link::GreekVesko vesko;
    for (unsigned b = 1; b < 256; ++b) {
        const bool greekLetter =
            ((b >= 0x80 && b <= 0xAF) || (b >= 0xE0 && b <= 0xF0)) && b != 0xE4 && b != 0xE8;
        const auto ansi = oemToAnsi.convert(byteText(b));
        vesko.InSring(byteText(b), link::GreekVesko::kFromDosGreek);
        EXPECT_EQ(vesko.GreekString(), greekLetter ? ansi.value() : byteText(b)) << b;
        EXPECT_EQ(link::OemToAnsiText(byteText(b)), ansi.value_or("?")) << b;
    }
    // 0x80 (the euro sign in 1253) is Α, 0xE1 (α) is ά; ϊ and ϋ stay δ and θ.
    vesko.InSring("\x80\xE1\xE4\xE8 x1", link::GreekVesko::kFromDosGreek);
    EXPECT_EQ(cp1253ToUtf8(vesko.GreekString()), "Αάδθ x1");
}

TEST(CodepageTest, OemToAnsiTextConvertsAnyLengthAndDropsNuls) {
    EXPECT_EQ(link::OemToAnsiText(std::string("\x80\0\x98z", 4)), utf8ToCp1253("Ααz"));
    const std::string dosGreek(1000, '\x91');
    EXPECT_EQ(link::OemToAnsiText(dosGreek), std::string(1000, '\xD3'));
    EXPECT_EQ(link::OemToAnsiText("\xB0\xFE"), "??");
    EXPECT_EQ(link::OemToAnsiText(""), "");
}

}  // namespace
}  // namespace merovan::common
