#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/common/codepage.h"
#include "core/settings/param_file.h"

namespace merovan::settings {
namespace {

using namespace std::string_literals;
using S = ParamSettings;

TEST(ParamReaderTest, ReadsEveryKeyFromItsColumnCutToItsWidth) {
    const std::string x110(110, 'x');
    const std::tuple<std::string, std::string S::*, std::string> rows[] = {
        {"[port]=  com2   ", &S::port, "com2"},
        {"[port] 192.168.100.101", &S::port, "192.168.100.101"},
        {"[port] 192.168.100.1012", &S::port, "192.168.100.101"},
        {"[Port] com2", &S::port, ""},
        {"[baud]=1152000", &S::baud, "11520"},
        {"[file] " + x110, &S::file, x110.substr(0, 30)},
        {"[code] no!!", &S::code, "no!"},
        {"[ecrt] KORFPX", &S::ecrt, "KORFP"},
        {"[multi type] false", &S::multiType, "fals"},
        {"[time] 1234567", &S::time, "12345"},
        {"[print_desc] true", &S::printDesc, "true"},
        {"[print_code] falseN", &S::printCode, "falseN"},
        {"[comments] false", &S::comments, "fals"},
        {"[currency]=12", &S::currency, "1"},
        {"[convert2] " + x110, &S::convert2, x110.substr(0, 12)},
        {"[keyb_off]=true ", &S::keybOff, "true"},
        {"[dir_depa]=true", &S::dirDepa, "true"},
        {"[quantity]=false", &S::quantity, "fals"},
        {"[Defacto_] 123", &S::defacto, "12"},
        {"[location] " + x110, &S::location, x110.substr(0, 99)},
        {"[time]", &S::time, ""}};
    for (const auto& [line, field, expected] : rows) {
        EXPECT_EQ(parseParamText(line).*field, expected) << line;
    }
}

TEST(ParamReaderTest, LinkAddressFollowsTheLineOrder) {
    const std::pair<std::string, std::string> rows[] = {
        {"[port] com1\r\n[baud] 9600", "com1:9600"},
        {"[baud] 9600\r\n[port] com1", "com1"},
        {"[port] com1\r\n[port] com2\r\n[baud] 4800", "com2:4800"},
        // A repeated [baud] replaces the first rather than piling up a second ":".
        {"[port] com1\r\n[baud] 9600\r\n[baud] 4800", "com1:4800"}};
    for (const auto& [text, address] : rows) {
        EXPECT_EQ(parseParamText(text).linkAddress, address) << text;
    }
}

TEST(ParamReaderTest, AutoStartOnlyForYesInAnyCase) {
    const std::pair<std::string, bool> rows[] = {
        {"[autostar]=yes", true},   {"[AUTOSTAR]=YES!", true},
        {"[AutoStar]= yes", false}, {"[AutoStar]=no", false},
        {" [AutoStar]=yes", false}, {"[AutoStar]=yes\r\n[AutoStar]=no", true}};
    for (const auto& [text, on] : rows) {
        EXPECT_EQ(parseParamText(text).autoStart, on) << text;
    }
}

TEST(ParamReaderTest, AcceptsEveryLineEndingAndAnyBytes) {
    for (const std::string end : {"\r\n", "\n", "\r", "\n\r"}) {
        EXPECT_EQ(parseParamText("[port] com1" + end + "[baud] 9600" + end).linkAddress,
                  "com1:9600");
    }
    EXPECT_EQ(parseParamText("\0\r[port] com\0001\r\n"s).port, "com\0001"s);
    EXPECT_EQ(parseParamText("[location] " + std::string(1 << 20, 'x')).location.size(), 99u);
    EXPECT_EQ(parseParamText("").linkAddress, "");
}

TEST(ParamReaderTest, PollingReadKeepsPortAndBaudApart) {
    const ParamSettings s = parseParamText(
        "[port]  192.168.100.101:5012x\r\n[baud] 1152000\r\n[convert2] x\r\n[AutoStar]=yes",
        ParamReadMode::Polling);
    EXPECT_EQ(s.linkAddress, " 192.168.100.101:501");
    EXPECT_EQ(s.baud, "115200");
    EXPECT_EQ(s.convert2, "");
    EXPECT_FALSE(s.autoStart);
}

ParamDialogValues veskoDialog() {
    ParamDialogValues v;
    v.port = "COM3";
    v.baud = "19200";
    v.location = "C:\\Ταμείο\\";
    v.file = "Print";
    v.registerFamily = "VeskoTan";
    v.multiType = v.printDesc = v.comments = v.keybOff = v.dirDepa = v.quantity = v.autoStart =
        true;
    v.printCode = PrintCodeChoice::AsText;
    v.currency = CurrencyChoice::Main;
    return v;
}

// An IP address with the baud field hidden, every box left clear.
ParamDialogValues tarDialog() {
    ParamDialogValues v;
    v.port = "192.168.1.50";
    v.baud = "9600";
    v.baudHidden = true;
    v.file = "Print";
    v.registerFamily = "Tar48";
    v.printCode = PrintCodeChoice::AsNumber;
    v.currency = CurrencyChoice::Secondary;
    return v;
}

constexpr common::DateTime kToday{2026, 12, 5, 9, 41, 7};

TEST(ParamWriterTest, WritesTheWholeFileByteForByte) {
    for (const auto& [name, values] :
         {std::pair{"param_vesko.ini", veskoDialog()}, std::pair{"param_tar48.ini", tarDialog()}}) {
        std::ifstream in(std::string(MEROVAN_FIXTURES_DIR) + "/settings/" + name, std::ios::binary);
        const std::string golden{std::istreambuf_iterator<char>(in), {}};
        ASSERT_FALSE(golden.empty()) << name;
        EXPECT_EQ(formatParamFile(values, kToday), golden) << name;
    }
    ParamDialogValues v = tarDialog();
    v.port = "192.168.1.50:6000";
    EXPECT_NE(formatParamFile(v, kToday).find("\r\n[baud] 9600\r\n"), std::string::npos);
}

TEST(ParamWriterTest, RegisterFamilyLineFollowsTheListText) {
    const std::pair<std::string, std::string> rows[] = {{"Tarvelon 48", "[ecrt] tar48\r\n"},
                                                        {"KOR  Fiscal Printer", "[ecrt] KORFP\r\n"},
                                                        {"KOR Fiscal Printer", ""}};
    for (const auto& [family, line] : rows) {
        ParamDialogValues v = veskoDialog();
        v.registerFamily = family;
        EXPECT_NE(formatParamFile(v, kToday).find("machine\r\n" + line + "[multi"),
                  std::string::npos)
            << family;
    }
}

TEST(ParamWriterTest, ALineBreakInAFieldCannotForgeAKey) {
    ParamDialogValues v = veskoDialog();
    v.location = "C:\\pos\r\n[port] com9";
    EXPECT_EQ(parseParamText(formatParamFile(v, kToday)).port, "com3");
}

TEST(ParamWriterTest, SavedFileReadsBackAsTheDialogShowedIt) {
    const std::string path = ::testing::TempDir() + "/param_round_trip.ini";
    const std::pair<PrintCodeChoice, std::string> codes[] = {{PrintCodeChoice::None, "falseN"},
                                                             {PrintCodeChoice::AsNumber, "true N"},
                                                             {PrintCodeChoice::AsText, "true A"}};
    for (ParamDialogValues v : {veskoDialog(), tarDialog()}) {
        for (const auto& [code, read] : codes) {
            v.printCode = code;
            ASSERT_TRUE(WriteParamFile(path, v, kToday).ok);
            const ParamReadResult result = ReadParamFile(path);
            ASSERT_TRUE(result.ok) << result.error;
            const ParamSettings& s = result.settings;
            EXPECT_EQ(s.linkAddress, v.baudHidden ? "192.168.1.50:5012" : "com3:19200");
            EXPECT_EQ(s.ecrt, v.baudHidden ? "tar48" : "vesko");
            EXPECT_EQ(s.printCode, read);
            EXPECT_EQ(common::cp1253ToUtf8(s.location), v.location);
            EXPECT_EQ(s.autoStart, v.autoStart);
        }
    }
}

TEST(ParamFileTest, ReportsFilesThatCannotBeReadOrWrittenByName) {
    const std::string dir = ::testing::TempDir() + "/param_file_test";
    std::filesystem::create_directories(dir + "/taken.ini");
    for (const std::string& path : {dir + "/no such dir/param.ini", dir + "/taken.ini"}) {
        const ParamReadResult read = ReadParamFile(path);
        EXPECT_FALSE(read.ok);
        EXPECT_NE(read.error.find(path), std::string::npos) << read.error;
        const ParamWriteResult written = WriteParamFile(path, veskoDialog(), kToday);
        EXPECT_FALSE(written.ok);
        EXPECT_NE(written.error.find(path), std::string::npos) << written.error;
    }
    // The directory in the way is untouched and no side file is left beside it.
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/taken.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/taken.ini.new"));
}

}  // namespace
}  // namespace merovan::settings
