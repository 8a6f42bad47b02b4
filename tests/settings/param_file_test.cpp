#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/common/codepage.h"
#include "core/settings/param_file.h"
#include "core/settings/settings_check.h"
#include "support/read_file.h"

namespace merovan::settings {
namespace {

using namespace std::string_literals;
using testing::readFile;
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

TEST(ParamReaderTest, LinkAddressFollowsTheLineOrderAndAutoStartNeedsYes) {
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"[port] com1\r\n[baud] 9600", "com1:9600", false},
        {"[baud] 9600\r\n[port] com1", "com1", false},
        {"[port] com1\r\n[port] com2\r\n[baud] 4800", "com2:4800", false},
        // A repeated [baud] replaces the first rather than piling up a second ":".
        {"[port] com1\r\n[baud] 9600\r\n[baud] 4800", "com1:4800", false},
        {"[port] com1\n[baud] 9600\n", "com1:9600", false},
        {"[port] com1\r[baud] 9600\r", "com1:9600", false},
        {"[port] com1\n\r[baud] 9600\n\r", "com1:9600", false},
        // Blanks around the speed are not part of it: "9600 " would set up no port.
        {"[port] com1\r\n[baud] 9600 \r\n", "com1:9600", false},
        {"[port] com1\r\n[baud]  9600\r\n", "com1:9600", false},
        {"[autostar]=yes", "", true},
        {"[AUTOSTAR]=YES!", "", true},
        {"[AutoStar]= yes", "", false},
        {"[AutoStar]=no", "", false},
        {" [AutoStar]=yes", "", false},
        {"[AutoStar]=yes\r\n[AutoStar]=no", "", true},
        {"", "", false}};
    for (const auto& [text, address, autoStart] : rows) {
        const ParamSettings s = parseParamText(text);
        EXPECT_EQ(s.linkAddress, address) << text;
        EXPECT_EQ(s.autoStart, autoStart) << text;
    }
    EXPECT_EQ(parseParamText("\0\r[port] com\0001\r\n"s).port, "com\0001"s);
    EXPECT_EQ(parseParamText("[location] " + std::string(1 << 20, 'x')).location.size(), 99u);
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

TEST(ParamWriterTest, FamilyLineFollowsTheListAndOnlyComNamesAreLowerCased) {
    using V = ParamDialogValues;
    const std::tuple<std::string V::*, std::string, std::string> rows[] = {
        {&V::registerFamily, "Tarvelon 48", "machine\r\n[ecrt] tar48\r\n[multi"},
        {&V::registerFamily, "KOR  Fiscal Printer", "machine\r\n[ecrt] KORFP\r\n[multi"},
        {&V::registerFamily, "KOR Fiscal Printer", "machine\r\n[multi"},
        {&V::port, "COM3", "\r\n[port] com3\r\n"},
        {&V::port, "Com12:9600", "\r\n[port] com12:9600\r\n"},
        {&V::port, "/dev/serial/by-id/USB-FTDI_A1", "\r\n[port] /dev/serial/by-id/USB-FTDI_A1\r\n"},
        {&V::port, "Register.Shop.LAN", "\r\n[port] Register.Shop.LAN\r\n"},
        {&V::port, "COMX", "\r\n[port] COMX\r\n"}};
    for (const auto& [field, typed, text] : rows) {
        ParamDialogValues v = veskoDialog();
        v.*field = typed;
        EXPECT_NE(formatParamFile(v, kToday).find(text), std::string::npos) << typed;
    }
    // Written as typed, the reader finds the same port again after the restart.
    const std::string path = ::testing::TempDir() + "/param_device_path.ini";
    ParamDialogValues v = veskoDialog();
    v.port = "/dev/ttyUSB0";
    ASSERT_TRUE(writeParamFile(path, v, kToday).ok);
    EXPECT_EQ(readParamFile(path).settings.linkAddress, "/dev/ttyUSB0:19200");
    v.location = "C:\\pos\r\n[port] com9";  // a line break in a field cannot forge a key
    EXPECT_EQ(parseParamText(formatParamFile(v, kToday)).port, "/dev/ttyUSB0");
}

// Each dialog is written whole, byte for byte as its golden file with its own print code,
// and reads back as the dialog showed it with every print code.
TEST(ParamWriterTest, WritesTheGoldenFilesAndReadsThemBack) {
    const std::string path = ::testing::TempDir() + "/param_round_trip.ini";
    const std::pair<PrintCodeChoice, std::string> codes[] = {{PrintCodeChoice::None, "falseN"},
                                                             {PrintCodeChoice::AsNumber, "true N"},
                                                             {PrintCodeChoice::AsText, "true A"}};
    for (const auto& [golden, dialog] :
         {std::pair{"param_vesko.ini", veskoDialog()}, std::pair{"param_tar48.ini", tarDialog()}}) {
        for (const auto& [code, read] : codes) {
            ParamDialogValues v = dialog;
            v.printCode = code;
            ASSERT_TRUE(writeParamFile(path, v, kToday).ok);
            if (code == dialog.printCode) {
                EXPECT_EQ(readFile(path),
                          readFile(std::string(MEROVAN_FIXTURES_DIR) + "/settings/" + golden));
            }
            const ParamReadResult result = readParamFile(path);
            ASSERT_TRUE(result.ok) << result.error;
            const ParamSettings& s = result.settings;
            EXPECT_EQ(s.linkAddress, v.baudHidden ? "192.168.1.50:5012" : "com3:19200");
            EXPECT_EQ(s.ecrt, v.baudHidden ? "tar48" : "vesko");
            EXPECT_EQ(s.printCode, read);
            EXPECT_EQ(common::cp1253ToUtf8(s.location), v.location);
            EXPECT_EQ(s.autoStart, v.autoStart);
        }
    }
    // A port with its own number still writes the hidden baud field.
    ParamDialogValues v = tarDialog();
    v.port = "192.168.1.50:6000";
    EXPECT_NE(formatParamFile(v, kToday).find("\r\n[baud] 9600\r\n"), std::string::npos);
}

TEST(ParamFileTest, ReportsFilesThatCannotBeReadOrWrittenByName) {
    const std::string dir = ::testing::TempDir() + "/param_file_test";
    std::filesystem::create_directories(dir + "/taken.ini");
    for (const std::string& path : {dir + "/no such dir/param.ini", dir + "/taken.ini"}) {
        const ParamReadResult read = readParamFile(path);
        EXPECT_FALSE(read.ok);
        EXPECT_NE(read.error.find(path), std::string::npos) << read.error;
        const ParamWriteResult written = writeParamFile(path, veskoDialog(), kToday);
        EXPECT_FALSE(written.ok);
        EXPECT_NE(written.error.find(path), std::string::npos) << written.error;
    }
    // The directory in the way is untouched and no side file is left beside it.
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/taken.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/taken.ini.new"));
}

TEST(SettingsCheckTest, ABadLocationAndAMissingPortAreSaidInPlainWords) {
    const std::string dir = ::testing::TempDir() + "/settings_check_test";
    std::filesystem::create_directories(dir + "/exchange");
    std::ofstream(dir + "/a file") << "x";
    ParamSettings settings;
    settings.multiType = "true";
    settings.port = "com1";
    settings.linkAddress = "com1:9600";
    const auto problemsWith = [&settings](const std::string& location) {
        settings.location = location;
        return settingsProblems(settings);
    };
    EXPECT_TRUE(problemsWith(dir + "/exchange/").empty());
    EXPECT_TRUE(problemsWith("").empty());  // the working directory
    for (const std::string& bad :
         {"/"s, dir + "/a file", dir + "/a file/", dir + "/missing/", dir + "/exchange"}) {
        const auto problems = problemsWith(bad);
        ASSERT_EQ(problems.size(), 1u) << bad;
        EXPECT_TRUE(problems[0].starts_with("[location] " + bad + ": ")) << problems[0];
    }
    settings.multiType = "no";  // no jobs looked for: [location] matters not
    EXPECT_TRUE(settingsProblems(settings).empty());

    settings.port = "";
    settings.linkAddress = ":9600";
    const auto problems = settingsProblems(settings);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].starts_with("[port]")) << problems[0];
}

}  // namespace
}  // namespace merovan::settings
