#include <gtest/gtest.h>

#include "core/common/date_time.h"
#include "core/common/message_box.h"
#include "core/common/numeric.h"
#include "core/common/text.h"

namespace merovan::common {
namespace {

// Texts shorter than 40 characters are padded in front, counted in characters not bytes (15
// Greek letters are 30 UTF-8 bytes); longer ones are shown whole.
TEST(MessageBoxTest, PadsShortTextsByCharactersAndKeepsTitles) {
    const MessageBox greek = formatMessageBox("Λάθος Ποσότητα!", buttons::kCritical, "");
    EXPECT_EQ(greek.text, std::string(25, ' ') + "Λάθος Ποσότητα!");
    EXPECT_EQ(greek.title, "Merovan4_KVT");
    EXPECT_EQ(greek.buttons, 16 + 4096);
    const MessageBox sixty = formatMessageBox(std::string(60, 'x'), 0, "Μύνημα Merovan");
    EXPECT_EQ(sixty.text, std::string(60, 'x'));
    EXPECT_EQ(sixty.title, "Μύνημα Merovan");
}

// The minute-second and month-day-year forms are checked by the trace and param file tests.
TEST(DateTimeTest, FormatsResultLineDates) {
    EXPECT_EQ(formatDateTime({2026, 12, 5, 9, 41, 7}), "05/12/2026 09:41:07");
}

TEST(NumericTest, AcceptsOnlyPlainNumbers) {
    EXPECT_EQ(parseNumber(" 12,50 ", ","), 12.5);
    EXPECT_EQ(parseNumber("12.50", ","), 12.5);
    EXPECT_EQ(parseNumber("-3", "."), -3.0);
    // A POS or a register writes its own mark, whatever this machine's locale says.
    EXPECT_EQ(parseNumber("12,50", "."), 12.5);
    EXPECT_EQ(parseNumber("0,00", "."), 0.0);
    for (const char* separator : {",", "."}) {
        for (const char* bad : {"", "  ", "-", "1,2,3", "1,2.3", "1e5", "12a", ",", "1 2"}) {
            EXPECT_FALSE(isNumeric(bad, separator)) << bad;
        }
    }
    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_FALSE(parseInteger("4.2").has_value());
    EXPECT_FALSE(parseInteger("99999999999999999999").has_value());
}

TEST(TextTest, ColumnsNeverReadPastTheEnd) {
    EXPECT_EQ(mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(mid("abc", 3, 10), "c");
    EXPECT_EQ(mid("abc", 4, 2), "");
    EXPECT_EQ(mid("abc", 0, 2), "");
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(replaceAll("a\nb\n", "\n", "~"), "a~b~");
}

}  // namespace
}  // namespace merovan::common
