#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/settings/command_line.h"

namespace merovan::settings {
namespace {

TEST(ReadcomanTest, SplitsAtCommasAndBlanksAndFillsGapsWithE) {
    const std::pair<std::string, CommandLineFields> rows[] = {
        {"com1:9600,9600,c:\\pos\\job.txt,0,vesko,1111111",
         {"com1:9600", "9600", "c:\\pos\\job.txt", "0", "vesko", "1111111"}},
        {"com1 9600 job 0 tar48 0120101", {"com1", "9600", "job", "0", "tar48", "0120101"}},
        {"a,,b", {"a", "e", "b", "e", "e", "e"}},
        {"", {"e", "e", "e", "e", "e", "e"}},
        {",,,,,", {"e", "e", "e", "e", "e", "e"}},
        {"a b c d e", {"a", "b", "c", "d", "e", "e"}},
        // The sixth field runs to the end of the line, separators and all.
        {"a,b,c,d,e,1111111, x,y", {"a", "b", "c", "d", "e", "1111111, x,y"}},
        {"a, b,c,d,e,f", {"a", "e", "b", "c", "d", "e,f"}},
    };
    for (const auto& [line, fields] : rows) {
        EXPECT_EQ(readcoman(line), fields) << line;
    }
}

TEST(ReadcomanTest, SevenOnesTurnEveryOptionOn) {
    const CommandLineSettings out =
        settingsFromCommandLine(readcoman("com1,9600,c:\\pos\\job.txt,0,vesko,1111111"));
    const ParamSettings& s = out.settings;
    EXPECT_FALSE(out.optionsTooShort);
    EXPECT_EQ(s.linkAddress, "com1");
    EXPECT_EQ(s.baud, "9600");
    EXPECT_EQ(s.file, "c:\\pos\\job.txt");
    EXPECT_EQ(s.time, "0");
    EXPECT_EQ(s.ecrt, "vesko");
    EXPECT_EQ(s.printCode, "true N");
    EXPECT_EQ(s.currency, "1");
    for (const std::string& flag : {s.printDesc, s.comments, s.keybOff, s.dirDepa, s.quantity}) {
        EXPECT_EQ(flag, "true");
    }
    EXPECT_EQ(s.multiType, "fals");
    EXPECT_EQ(s.code, "true");
    EXPECT_EQ(s.location, "");
}

TEST(ReadcomanTest, OptionCharactersMapOneByOne) {
    const std::pair<std::string, std::string> printCodes[] = {
        {"0", "fals"}, {"1", "true N"}, {"2", "true A"}, {"3", ""}, {"x", ""}};
    for (const auto& [option, expected] : printCodes) {
        const auto out = settingsFromCommandLine(readcoman("c,9,f,0,v," + option + "202020"));
        EXPECT_EQ(out.settings.printCode, expected) << option;
        EXPECT_EQ(out.settings.currency, "2");
        for (const std::string& flag : {out.settings.printDesc, out.settings.comments,
                                        out.settings.keybOff, out.settings.dirDepa}) {
            EXPECT_EQ(flag, "fals");
        }
        EXPECT_EQ(out.settings.quantity, "fals");
    }
}

TEST(ReadcomanTest, FewerThanSevenOptionsMeanFarewell) {
    for (const char* line : {"com1,9600,job,0,vesko", "com1,9600,job,0,vesko,111111", "a,,b", ""}) {
        EXPECT_TRUE(settingsFromCommandLine(readcoman(line)).optionsTooShort) << line;
    }
}

TEST(ReadcomanTest, FarewellIsAClosedFrameAroundTheThanks) {
    const std::string text = common::cp737ToUtf8(farewellText());
    const std::string thanks = "Ευχαριστούμε που χρησιμοποιήσατε το Merovan";
    const std::string bar = [] {
        std::string line;
        for (int i = 0; i < 45; ++i) {
            line += "═";
        }
        return line;
    }();
    EXPECT_EQ(text, "╔" + bar + "╗\n║ " + thanks + " ║\n╚" + bar + "╝");
}

}  // namespace
}  // namespace merovan::settings
