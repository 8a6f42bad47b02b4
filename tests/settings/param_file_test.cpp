#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/common/codepage.h"
#include "core/common/text.h"
#include "core/settings/param_file.h"

namespace merovan::settings {
namespace {

using namespace std::string_literals;
using Field = std::string ParamSettings::*;

ParamSettings parse(const std::string& text, ParamReadMode mode = ParamReadMode::Startup) {
    return parseParamText(text, mode);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ParamReaderTest, ReadsEveryKeyFromItsColumnCutToItsWidth) {
    const std::string digits = "0123456789";
    const std::string longText = digits + digits + digits + digits + digits + digits + digits +
                                 digits + digits + digits + digits;  // 110
    struct Row {
        std::string line;
        Field field;
        std::string expected;
    };
    const Row rows[] = {
        {"[port] com1", &ParamSettings::port, "com1"},
        {"[port]=  com2   ", &ParamSettings::port, "com2"},
        {"[port] 192.168.100.101", &ParamSettings::port, "192.168.100.101"},
        {"[port] 192.168.100.1012", &ParamSettings::port, "192.168.100.101"},
        {"[baud]=19200", &ParamSettings::baud, "19200"},
        {"[baud] 1152000", &ParamSettings::baud, "11520"},
        {"[file] " + longText, &ParamSettings::file, longText.substr(0, 30)},
        {"[code] no", &ParamSettings::code, "no"},
        {"[ecrt] KORFPX", &ParamSettings::ecrt, "KORFP"},
        {"[multi type] false", &ParamSettings::multiType, "fals"},
        {"[time] 1234567", &ParamSettings::time, "12345"},
        {"[print_desc] true", &ParamSettings::printDesc, "true"},
        {"[print_code] falseN", &ParamSettings::printCode, "falseN"},
        {"[print_code] true A", &ParamSettings::printCode, "true A"},
        {"[comments] false", &ParamSettings::comments, "fals"},
        {"[currency]=12", &ParamSettings::currency, "1"},
        {"[convert2] " + longText, &ParamSettings::convert2, longText.substr(0, 12)},
        {"[keyb_off]=false", &ParamSettings::keybOff, "fals"},
        {"[keyb_off]=true ", &ParamSettings::keybOff, "true"},
        {"[dir_depa]=true", &ParamSettings::dirDepa, "true"},
        {"[quantity]=false", &ParamSettings::quantity, "fals"},
        {"[Defacto_] 123", &ParamSettings::defacto, "12"},
        {"[location] " + longText, &ParamSettings::location, longText.substr(0, 99)},
        {"[location] ", &ParamSettings::location, ""},
        {"[time]", &ParamSettings::time, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parse(row.line).*row.field, row.expected) << row.line;
    }
}

TEST(ParamReaderTest, KeysAreCaseSensitiveAtColumnOne) {
    const ParamSettings s =
        parse("[Port] com2\r\n [port] com3\r\n[BAUD] 9600\r\n# [file] x\r\n[File] y\r\n");
    EXPECT_EQ(s.port, "");
    EXPECT_EQ(s.baud, "");
    EXPECT_EQ(s.file, "");
    EXPECT_EQ(s.linkAddress, "");
}

TEST(ParamReaderTest, LinkAddressFollowsTheLineOrder) {
    EXPECT_EQ(parse("[port] com1\r\n[baud] 9600\r\n").linkAddress, "com1:9600");
    // Baud first: the port line sets the address afresh and nothing appends the baud.
    const ParamSettings baudFirst = parse("[baud] 9600\r\n[port] com1\r\n");
    EXPECT_EQ(baudFirst.linkAddress, "com1");
    EXPECT_EQ(baudFirst.baud, "9600");
    EXPECT_EQ(parse("[port] com1\r\n[port] com2\r\n[baud] 4800\r\n").linkAddress, "com2:4800");
    EXPECT_EQ(parse("[port] com1\r\n").linkAddress, "com1");
    // A repeated [baud] replaces the first rather than piling a second ":" onto the address.
    EXPECT_EQ(parse("[port] com1\r\n[baud] 9600\r\n[baud] 4800\r\n").linkAddress, "com1:4800");
}

TEST(ParamReaderTest, AutoStartOnlyForYesInAnyCase) {
    const std::pair<std::string, bool> rows[] = {
        {"[AutoStar]=yes", true},          {"[autostar]=yes", true},   {"[AUTOSTAR]=YES", true},
        {"[AutoStar]=yes and more", true}, {"[AutoStar]= yes", false}, {"[AutoStar]=no", false},
        {"[AutoStar] yes", false},         {" [AutoStar]=yes", false},
    };
    for (const auto& [line, on] : rows) {
        EXPECT_EQ(parse(line).autoStart, on) << line;
    }
    EXPECT_TRUE(parse("[AutoStar]=yes\r\n[AutoStar]=no\r\n").autoStart);
}

TEST(ParamReaderTest, AcceptsEveryLineEnding) {
    for (const std::string end : {"\r\n", "\n", "\r", "\n\r"}) {
        const ParamSettings s = parse("[port] com1" + end + "[baud] 9600" + end + "[file] p");
        EXPECT_EQ(s.linkAddress, "com1:9600") << common::replaceAll(end, "\r", "CR");
        EXPECT_EQ(s.file, "p");
    }
}

TEST(ParamReaderTest, PollingReadKeepsPortAndBaudApart) {
    const std::string text =
        "[port]  192.168.100.101:5012xyz\r\n[baud] 1152000\r\n[convert2] x\r\n"
        "[AutoStar]=yes\r\n[file] print\r\n";
    const ParamSettings s = parse(text, ParamReadMode::Polling);
    EXPECT_EQ(s.port, " 192.168.100.101:501");
    EXPECT_EQ(s.linkAddress, s.port);
    EXPECT_EQ(s.baud, "115200");
    EXPECT_EQ(s.convert2, "");
    EXPECT_FALSE(s.autoStart);
    EXPECT_EQ(s.file, "print");
}

TEST(ParamReaderTest, AnyBytesParseWithoutHarm) {
    std::mt19937 random(1253);
    std::string noise(1 << 16, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    const std::string huge = "[location] " + std::string(1 << 20, 'x');
    for (const std::string& text : {std::string(), noise, huge, "\0\0[port]\0com1\r"s,
                                    "[port] com\0001\r\n"s, std::string(1000, '\r')}) {
        for (const auto mode : {ParamReadMode::Startup, ParamReadMode::Polling}) {
            const ParamSettings s = parse(text, mode);
            EXPECT_LE(s.location.size(), 99u);
            EXPECT_LE(s.port.size(), 20u);
        }
    }
    EXPECT_EQ(parse("[port] com\0001\r\n"s).port, "com\0001"s);
}

TEST(ParamReaderTest, ReportsAMissingOrUnreadableFileByName) {
    const std::string dir = ::testing::TempDir() + "/param_reader_test";
    std::filesystem::create_directories(dir + "/param.ini");
    for (const std::string& path : {dir + "/absent.ini", dir + "/param.ini"}) {
        const ParamReadResult result = ReadParamFile(path);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    }
    const std::string empty = dir + "/empty.ini";
    std::ofstream(empty, std::ios::binary).close();
    const ParamReadResult result = ReadParamFile(empty);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.settings.linkAddress, "");
}

ParamDialogValues veskoDialog() {
    ParamDialogValues v;
    v.port = "COM3";
    v.baud = "19200";
    v.file = "Print";
    v.registerFamily = "VeskoTan";
    v.multiType = v.printDesc = v.comments = v.keybOff = v.dirDepa = v.quantity = true;
    v.printCode = PrintCodeChoice::AsText;
    v.currency = CurrencyChoice::Main;
    v.autoStart = true;
    v.location = "C:\\Ταμείο\\";
    return v;
}

constexpr common::DateTime kToday{2026, 12, 5, 9, 41, 7};

TEST(ParamWriterTest, WritesTheWholeFileByteForByte) {
    const std::string golden =
        slurp(std::string(MEROVAN_FIXTURES_DIR) + "/settings/param_vesko.ini");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(formatParamFile(veskoDialog(), kToday), golden);

    // The other choices change only their own lines.
    ParamDialogValues v = veskoDialog();
    v.registerFamily = "Tar48";
    v.multiType = v.printDesc = v.comments = v.keybOff = v.dirDepa = v.quantity = false;
    v.printCode = PrintCodeChoice::AsNumber;
    v.currency = CurrencyChoice::Secondary;
    v.autoStart = false;
    v.location.clear();
    std::string expected = golden;
    for (const auto& [from, to] : std::initializer_list<std::pair<std::string, std::string>>{
             {"vesko", "tar48"},
             {"[multi type] true", "[multi type] false"},
             {"[print_desc] true", "[print_desc] false"},
             {"true A", "true N"},
             {"[comments] true", "[comments] false"},
             {"[currency]=1", "[currency]=2"},
             {"[keyb_off]=true ", "[keyb_off]=false"},
             {"[dir_depa]=true", "[dir_depa]=false"},
             {"[quantity]=true", "[quantity]=false"},
             {"[AutoStar]=yes", "[AutoStar]=no"},
             {common::utf8ToCp1253("[location] C:\\Ταμείο\\"), "[location] "}}) {
        expected = common::replaceAll(expected, from, to);
    }
    EXPECT_EQ(formatParamFile(v, kToday), expected);
}

TEST(ParamWriterTest, RegisterFamilyLineFollowsTheListText) {
    const std::pair<std::string, std::string> rows[] = {
        {"VeskoTan", "[ecrt] vesko\r\n"},    {"TAR48", "[ecrt] tar48\r\n"},
        {"Tarvelon 48", "[ecrt] tar48\r\n"}, {"KOR  Fiscal Printer", "[ecrt] KORFP\r\n"},
        {"KOR Fiscal Printer", ""},          {"", ""},
    };
    for (const auto& [family, line] : rows) {
        ParamDialogValues v = veskoDialog();
        v.registerFamily = family;
        const std::string text = formatParamFile(v, kToday);
        EXPECT_NE(text.find("# Type of machine\r\n" + line + "[multi type]"), std::string::npos)
            << family;
    }
}

TEST(ParamWriterTest, HiddenBaudSavesTheTcpPortOnlyWithoutOne) {
    ParamDialogValues v = veskoDialog();
    v.baudHidden = true;
    v.port = "192.168.1.50";
    v.baud = "9600";
    EXPECT_NE(formatParamFile(v, kToday).find("\r\n[baud] 5012\r\n"), std::string::npos);
    v.port = "192.168.1.50:6000";
    EXPECT_NE(formatParamFile(v, kToday).find("\r\n[baud] 9600\r\n"), std::string::npos);
}

TEST(ParamWriterTest, ALineBreakInAFieldCannotForgeAKey) {
    ParamDialogValues v = veskoDialog();
    v.location = "C:\\pos\r\n[port] com9";
    const ParamSettings s = parseParamText(formatParamFile(v, kToday));
    EXPECT_EQ(s.port, "com3");
    EXPECT_EQ(s.location, "C:\\pos[port] com9");
}

TEST(ParamWriterTest, SavedFileReadsBackAsTheDialogShowedIt) {
    const std::string path = ::testing::TempDir() + "/param_round_trip.ini";
    for (const char* family : {"VeskoTan", "Tar48"}) {
        for (const auto code :
             {PrintCodeChoice::None, PrintCodeChoice::AsNumber, PrintCodeChoice::AsText}) {
            ParamDialogValues v = veskoDialog();
            v.registerFamily = family;
            v.printCode = code;
            v.keybOff = code == PrintCodeChoice::None;
            ASSERT_TRUE(WriteParamFile(path, v, kToday).ok);
            const ParamReadResult read = ReadParamFile(path);
            ASSERT_TRUE(read.ok) << read.error;
            const ParamSettings& s = read.settings;
            EXPECT_EQ(s.linkAddress, "com3:19200");
            EXPECT_EQ(s.ecrt, std::string(family) == "Tar48" ? "tar48" : "vesko");
            EXPECT_EQ(s.printCode, code == PrintCodeChoice::None     ? "falseN"
                                   : code == PrintCodeChoice::AsText ? "true A"
                                                                     : "true N");
            EXPECT_EQ(s.keybOff, v.keybOff ? "true" : "fals");
            EXPECT_EQ(s.file, "Print");
            EXPECT_EQ(s.currency, "1");
            EXPECT_EQ(common::cp1253ToUtf8(s.location), v.location);
            EXPECT_TRUE(s.autoStart);
        }
    }
}

TEST(ParamWriterTest, ReportsAnUnwritableFileAndLeavesNoSideFile) {
    const std::string dir = ::testing::TempDir() + "/param_writer_test";
    std::filesystem::create_directories(dir + "/locked.ini");
    const std::string missingDir = dir + "/no such dir/param.ini";
    const ParamWriteResult result = WriteParamFile(missingDir, veskoDialog(), kToday);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(missingDir), std::string::npos) << result.error;
    // A directory in the way cannot be replaced; nothing is left behind beside it.
    EXPECT_FALSE(WriteParamFile(dir + "/locked.ini", veskoDialog(), kToday).ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/locked.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/locked.ini.new"));
}

}  // namespace
}  // namespace merovan::settings
