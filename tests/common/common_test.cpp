#include <gtest/gtest.h>

#include <fstream>

#include "core/common/append_line.h"
#include "core/common/date_time.h"
#include "core/common/message_box.h"
#include "core/common/numeric.h"
#include "core/common/text.h"

namespace merovan::common {
namespace {

TEST(MessageBoxTest, PadsShortTextsByCharactersNotBytes) {
    // 15 Greek letters are 30 UTF-8 bytes but 15 characters: 25 blanks make 40.
    const MessageBox box = formatMessageBox("Λάθος Ποσότητα!", buttons::kCritical, "");
    EXPECT_EQ(box.text, std::string(25, ' ') + "Λάθος Ποσότητα!");
    EXPECT_EQ(box.title, "Merovan4_KVT");
    EXPECT_EQ(box.buttons, 16 + 4096);
}

TEST(MessageBoxTest, LongTextsAreShownWholeAndTitlesKept) {
    const std::string sixty(60, 'x');
    const MessageBox box = formatMessageBox(sixty, buttons::kInformation, "Μύνημα Merovan");
    EXPECT_EQ(box.text, sixty);
    EXPECT_EQ(box.title, "Μύνημα Merovan");
    EXPECT_EQ(formatMessageBox(std::string(10, 'y'), 0, "").text,
              std::string(30, ' ') + "yyyyyyyyyy");
}

TEST(DateTimeTest, FormatsResultTraceAndParamDates) {
    const DateTime at{2026, 12, 5, 9, 41, 7};
    EXPECT_EQ(formatDateTime(at), "05/12/2026 09:41:07");
    EXPECT_EQ(formatMinuteSecond(at), "41:07");
    EXPECT_EQ(formatMonthDayYear(at), "12-05-2026");
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

TEST(AppendLineTest, AppendsWithCrLfAndReportsAMissingDirectory) {
    const std::string path = ::testing::TempDir() + "/append_line_test.txt";
    std::remove(path.c_str());
    ASSERT_TRUE(AppendLine(path, "one"));
    ASSERT_TRUE(AppendLine(path, "two"));
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "one\r\ntwo\r\n");
    EXPECT_FALSE(AppendLine("/nonexistent-dir/result.txt", "lost"));
}

}  // namespace
}  // namespace merovan::common
