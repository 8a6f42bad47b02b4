#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>

#include "core/common/codepage.h"
#include "core/link/register_charset.h"

namespace merovan::common {
namespace {

// The C library's converter, an independent reference for our code page tables: the whole
// text converted, or no value when iconv refuses any of it.
std::optional<std::string> iconvText(const char* to, const char* from, std::string in) {
    const iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    std::string out(in.size() * 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool refused =
        iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return refused ? std::nullopt : std::optional(out);
}

std::string byte(unsigned b) {
    return std::string(1, static_cast<char>(b));
}

std::string utf8Of(char32_t c) {
    std::string out;
    appendUtf8(out, c);
    return out;
}

TEST(CodepageTest, TablesAgreeWithTheSystemConverter) {
    for (unsigned b = 0; b < 256; ++b) {
        // Bytes 1253 leaves undefined carry their own value, so that every byte round-trips.
        const auto expected = iconvText("UTF-8", "CP1253", byte(b)).value_or(utf8Of(b));
        EXPECT_EQ(cp1253ToUtf8(byte(b)), expected) << b;
        EXPECT_EQ(utf8Of(cp1253ToUnicode(static_cast<unsigned char>(b))), expected) << b;
        EXPECT_EQ(utf8ToCp1253(expected), byte(b)) << b;
        EXPECT_EQ(utf8Of(cp737ToUnicode(static_cast<unsigned char>(b))),
                  iconvText("UTF-8", "CP737", byte(b)))
            << b;
    }
}

TEST(CodepageTest, Utf8ToCp1253HoldsWhatTheSystemConverterHolds) {
    for (char32_t c = 0x80; c < 0x2600; ++c) {
        const bool undefinedByte = c < 0x100 && !iconvText("UTF-8", "CP1253", byte(c));
        const auto expected =
            undefinedByte ? byte(c) : iconvText("CP1253", "UTF-8", utf8Of(c)).value_or("?");
        EXPECT_EQ(utf8ToCp1253(utf8Of(c)), expected) << static_cast<unsigned>(c);
    }
    EXPECT_EQ(utf8ToCp1253("a\xC1z\xCE"), "a\xC1z\xCE");  // malformed UTF-8 goes byte by byte
}

TEST(CodepageTest, DosGreekDecodingAndOemToAnsiFollowTheSystemConverter) {
    link::RegisterCharset vesko;
    for (unsigned b = 1; b < 256; ++b) {
        const bool greek =
            ((b >= 0x80 && b <= 0xAF) || (b >= 0xE0 && b <= 0xF0)) && b != 0xE4 && b != 0xE8;
        const auto ansi = iconvText("CP1253", "CP737", byte(b));
        vesko.convert(byte(b), link::RegisterCharset::kFromDosGreek);
        EXPECT_EQ(vesko.converted(), greek ? ansi.value() : byte(b)) << b;
        EXPECT_EQ(link::oemToAnsiText(byte(b)), ansi.value_or("?")) << b;
    }
    // 0x80 (the euro sign in 1253) is Α, 0xE1 (α) is ά; ϊ and ϋ stay δ and θ.
    vesko.convert("\x80\xE1\xE4\xE8 x1", link::RegisterCharset::kFromDosGreek);
    EXPECT_EQ(cp1253ToUtf8(vesko.converted()), "Αάδθ x1");
    EXPECT_EQ(link::oemToAnsiText(std::string("\x80\0\x98z", 4)), utf8ToCp1253("Ααz"));
    EXPECT_EQ(link::oemToAnsiText(std::string(1000, '\x91')), std::string(1000, '\xD3'));
}

}  // namespace
}  // namespace merovan::common
