#include <gtest/gtest.h>

#include "core/settings/command_line.h"

namespace merovan::settings {
namespace {

TEST(ReadcomanTest, SplitsAtCommasAndBlanksAndFillsGapsWithE) {
    const std::pair<std::string, CommandLineFields> rows[] = {
        {"com1 9600 job 0 tar48 0120101", {"com1", "9600", "job", "0", "tar48", "0120101"}},
        {"a,,b", {"a", "e", "b", "e", "e", "e"}},
        {",,,,,", {"e", "e", "e", "e", "e", "e"}},
        // The sixth field runs to the end of the line, separators and all.
        {"a, b,c,d,e, x,y", {"a", "e", "b", "c", "d", "e, x,y"}},
    };
    for (const auto& [line, fields] : rows) {
        EXPECT_EQ(parseCommandLine(line), fields) << line;
    }
}

TEST(ReadcomanTest, OptionCharactersBecomeTheSettingsInForce) {
    const ParamSettings on =
        settingsFromCommandLine(parseCommandLine("com1,9600,c:\\pos\\job.txt,0,vesko,1111111"))
            .settings;
    EXPECT_EQ(on.linkAddress, "com1");
    EXPECT_EQ(on.file, "c:\\pos\\job.txt");
    EXPECT_EQ(on.jobFiles, JobFiles::Single);
    EXPECT_EQ(on.location, "");
    EXPECT_EQ(on.registerFamilyText, "vesko");
    const ReceiptSettings& r = on.receipt;
    EXPECT_EQ(r.registerFamily, RegisterFamily::Vesko);
    EXPECT_EQ(r.printCode, PrintCodeChoice::AsNumber);
    EXPECT_EQ(r.currency, Currency::Main);
    EXPECT_EQ(r.printDescription, Flag::On);
    EXPECT_EQ(r.comments, Comments::On);
    EXPECT_TRUE(r.keyboardLocked && r.directDepartment && r.printQuantity);

    // Anything but "1" is off, never "other".
    const std::pair<char, PrintCodeChoice> printCodes[] = {{'0', PrintCodeChoice::None},
                                                           {'1', PrintCodeChoice::AsNumber},
                                                           {'2', PrintCodeChoice::AsText},
                                                           {'3', PrintCodeChoice::None}};
    for (const auto& [option, expected] : printCodes) {
        const auto off = settingsFromCommandLine(
                             parseCommandLine("c 9 f 0 v " + std::string(1, option) + "202x20"))
                             .settings.receipt;
        EXPECT_EQ(off.printCode, expected) << option;
        EXPECT_EQ(off.currency, Currency::Secondary);
        EXPECT_EQ(off.printDescription, Flag::Off);
        EXPECT_EQ(off.comments, Comments::Off);
        EXPECT_FALSE(off.keyboardLocked || off.directDepartment || off.printQuantity);
    }
}

// A port named without its speed is set to the speed of field 2, never left unset.
TEST(ReadcomanTest, TheLinkOpensWithTheSpeedOfFieldTwoWhenFieldOneHasNone) {
    const std::pair<std::string, std::string> rows[] = {
        {"com1,9600,job,0,vesko,1111111", "com1:9600"},
        {"/dev/ttyUSB0 19200 job 0 vesko 1111111", "/dev/ttyUSB0:19200"},
        {"com1:4800,9600,job,0,vesko,1111111", "com1:4800"},
        {"192.168.1.50,5012,job,0,vesko,1111111", "192.168.1.50:5012"},
        {"com1,,job,0,vesko,1111111", "com1"},
        {"com1,fast,job,0,vesko,1111111", "com1"},
    };
    for (const auto& [line, address] : rows) {
        const auto settings = settingsFromCommandLine(parseCommandLine(line)).settings;
        EXPECT_EQ(commandLineLinkAddress(settings), address) << line;
    }
}

TEST(ReadcomanTest, FewerThanSevenOptionsMeanFarewell) {
    for (const char* line : {"com1,9600,job,0,vesko", "com1,9600,job,0,vesko,111111", "a,,b"}) {
        EXPECT_TRUE(settingsFromCommandLine(parseCommandLine(line)).optionsTooShort) << line;
    }
}

}  // namespace
}  // namespace merovan::settings
