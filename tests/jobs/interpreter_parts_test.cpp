#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/jobs/job_file.h"
#include "core/jobs/job_numbers.h"
#include "core/jobs/progress_indicator.h"
#include "core/jobs/register_text.h"
#include "core/jobs/sale_amounts.h"
#include "support/recording_operator.h"

namespace merovan::jobs {
namespace {

TEST(JobNumbersTest, ToLocaleDecimalAddsOrTurnsTheMark) {
    const struct {
        const char* text;
        int decimals;
        const char* separator;
        const char* expected;
    } cases[] = {
        {"12", -1, ",", "12,00"},  {"2", 3, ",", "2,000"}, {"12.5", -1, ",", "12,5"},
        {"12,5", -1, ".", "12.5"}, {"", 3, ".", ".000"},   {"1.000", 3, ".", "1.000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toLocaleDecimal(c.text, c.decimals, c.separator), c.expected) << c.text;
    }
}

TEST(JobNumbersTest, ToInt16RoundsDownAndNeverWraps) {
    const std::pair<const char*, int> cases[] = {
        {"12", 12},    {" 7 ", 7},  {"12,9", 12},     {"-2,5", -3},  {"-1", -1},
        {"abc", -1},   {"", -1},    {"32767", 32767}, {"32768", -1}, {"-32768", -32768},
        {"65547", -1}, {"1e3", -1}, {"0x10", -1},     {"1 2", -1},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(toInt16(text, ","), expected) << text;
    }
}

TEST(SaleAmountsTest, CalcCleansAmountsAndLeavesTheLastAdjustmentInPrice) {
    std::string noPrice, discount = " 1,5 0 ", none;
    cleanAmounts(noPrice, discount, none);
    EXPECT_EQ(discount, "150");
    EXPECT_EQ(noPrice, "1,5 0");

    // One decimal is a tenth, never a hundredth: "to 1 5.5" pays 5,50. With a thousands mark
    // as well the amount is read as it always was.
    for (const auto& [text, expected] : {std::pair{" 12.50 ", "1250"},
                                         {"5.5", "550"},
                                         {" 5,5", "550"},
                                         {"7,", "700"},
                                         {"1.234,5", "12345"},
                                         {"1.234,50", "123450"}}) {
        std::string amount = text, noDiscount, noAddon;
        cleanAmounts(amount, noDiscount, noAddon);
        EXPECT_EQ(amount, expected) << text;
    }

    std::string zero = "0", both = "2.00", addon = " 3.00";
    cleanAmounts(zero, both, addon);
    EXPECT_EQ(zero, "3.00");
    EXPECT_EQ(addon, "300");
}

TEST(SaleAmountsTest, PriceInHundredthsCutsBelowAHundredthOnlyWithAComma) {
    EXPECT_EQ(priceInHundredths("1,50", ","), "150");
    EXPECT_EQ(priceInHundredths("-2,00", ","), "-200");
    EXPECT_EQ(priceInHundredths("1,15", ","), "115");  // 114.99999999999999 in binary
    EXPECT_EQ(priceInHundredths("1,505", ","), "150");
    EXPECT_EQ(priceInHundredths("1.505", "."), "150.5");
    EXPECT_EQ(priceInHundredths("-0,004", ","), "0");
    EXPECT_EQ(priceInHundredths("abc,00", ","), std::nullopt);
    EXPECT_EQ(prepareSaleDescription("  7UP "), "7UP ");
    EXPECT_EQ(prepareSaleDescription(" COLA 7 "), "COLA 7");
    EXPECT_EQ(prepareSaleDescription("   "), "");
}

TEST(ProgressTest, PercentIsRoundedAndNeverDividesByZero) {
    EXPECT_EQ(ProgressIndicator::text(0, 3), "-");
    EXPECT_EQ(ProgressIndicator::text(1, 0), " Ολοκληρώθηκε το 100%");

    testing::RecordingOperator op;
    ProgressIndicator progress(op);
    progress.setMax(200);
    progress.setValue(1);
    EXPECT_EQ(op.progressTexts(), std::vector<std::string>{" Ολοκληρώθηκε το 1%"});
}

TEST(JobFileTest, HeaderValuesSkipTwoCharactersAndEndAtAControlCharacter) {
    EXPECT_EQ(findResultFile("x\r\nresFile:  C:\\res\\r1.txt\r\ntag:  T7\r\n"), "C:\\res\\r1.txt");
    EXPECT_EQ(findJobTag("x\r\nresFile:  C:\\res\\r1.txt\r\ntag:  T7 \r\n"), "T7 ");
    EXPECT_EQ(findResultFile("resFile: =a.txt\nresFile: =b.txt\n"), "a.txt");
    EXPECT_EQ(findResultFile(" PLU x\r\n"), "Result");
    EXPECT_EQ(findJobTag(" PLU x\r\ntag:  last"), "Unknown");
    EXPECT_EQ(findResultFile("resFile:\r\n PLU\r\n"), "Result");
    // A control character ends a value (a CR inside the tag: the hostile exchange test).
    EXPECT_EQ(findJobTag("tag:  a\tb\x7f\n"), "a");
    EXPECT_EQ(findJobTag("tag:  \x1b[2J\n"), "Unknown");
    EXPECT_EQ(findJobTag("tag:  \xd4\xe1\xec\xe5\xdf\xef\r\n"), "\xd4\xe1\xec\xe5\xdf\xef");
}

TEST(JobFileTest, LinesEndAtCrLfOrLfAndALastLineNeedsNoEnd) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(splitJobLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(splitJobLines("a\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(splitJobLines("a\r\n\r\nc\rd\n"), (Lines{"a", "", "c\rd"}));
    EXPECT_TRUE(splitJobLines("").empty());
}

// A converter standing in for a real outside one: it must run before the other steps.
class ShoutingConverter final : public ItemTextConverter {
  public:
    std::string convert(std::string_view text, bool) const override {
        return std::string(text) + "!";
    }
};

TEST(RegisterTextTest, FoldsAccentsReadsByte131AsDeltaOnSaleLinesAndConverts) {
    link::RegisterCharset greek;
    const IdentityItemTextConverter identity;
    const std::string text = common::utf8ToCp1253("άέήίόύώ") + "\x83";
    // A E H I O Y, omega (141), then Delta (134) only on sale lines.
    EXPECT_EQ(prepareRegisterText(text, true, identity, greek), "AEHIOY\x8D\x86");
    EXPECT_EQ(prepareRegisterText(text, false, identity, greek), "AEHIOY\x8D\x83");
    EXPECT_EQ(prepareRegisterText("ab", true, ShoutingConverter(), greek), "AB!");
    // DOS Greek comment text: 0x80 is Alpha in code page 737.
    EXPECT_EQ(prepareCommentText("\x80\x83 x", greek), "A\x86 X");
}

}  // namespace
}  // namespace merovan::jobs
