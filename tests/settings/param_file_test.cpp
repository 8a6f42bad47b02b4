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
        {"[ecrt] KORFPX", &S::registerFamilyText, "KORFP"},
        {"[location] " + x110, &S::location, x110.substr(0, 99)}};
    for (const auto& [line, field, expected] : rows) {
        EXPECT_EQ(parseParamText(line).*field, expected) << line;
    }
    // Four characters make a flag, one a currency, six a print code.
    const ParamSettings s = parseParamText(
        "[multi type] false\r\n[print_desc] truex\r\n[print_code] true Nx\r\n"
        "[comments] false\r\n[currency]=12\r\n[keyb_off]=true \r\n[dir_depa]=true\r\n"
        "[quantity]=false\r\n[ecrt] tar48x");
    EXPECT_EQ(s.jobFiles, JobFiles::Single);
    const ReceiptSettings& r = s.receipt;
    EXPECT_EQ(r.printDescription, Flag::On);
    EXPECT_EQ(r.printCode, PrintCodeChoice::AsNumber);
    EXPECT_EQ(r.comments, Comments::Off);
    EXPECT_EQ(r.currency, Currency::Main);
    EXPECT_TRUE(r.keyboardLocked && r.directDepartment && !r.printQuantity);
    EXPECT_EQ(r.registerFamily, RegisterFamily::Tar48);
}

// A value that is neither "true" nor "fals" is kept apart where some user acts on it, and is
// off for the keys where every user asks for "true" alone.
TEST(ParamReaderTest, ValuesOtherThanTrueAndFalsKeepTheirOwnState) {
    const std::tuple<std::string, Flag, JobFiles, Comments, bool> rows[] = {
        {"true", Flag::On, JobFiles::Numbered, Comments::On, true},
        {"false", Flag::Off, JobFiles::Single, Comments::Off, false},
        {"TRUE", Flag::Other, JobFiles::Other, Comments::Capitals, false},
        {"yes", Flag::Other, JobFiles::Other, Comments::Other, false},
        {"", Flag::Other, JobFiles::Unset, Comments::Other, false}};
    for (const auto& [value, flag, jobFiles, comments, on] : rows) {
        const ParamSettings s = parseParamText("[multi type] " + value + "\n[print_desc] " + value +
                                               "\n[comments] " + value + "\n[keyb_off] " + value +
                                               "\n[dir_depa] " + value + "\n[quantity] " + value);
        EXPECT_EQ(s.jobFiles, jobFiles) << value;
        EXPECT_EQ(s.receipt.printDescription, flag) << value;
        EXPECT_EQ(s.receipt.comments, comments) << value;
        EXPECT_EQ(s.receipt.keyboardLocked, on) << value;
        EXPECT_EQ(s.receipt.directDepartment, on) << value;
        EXPECT_EQ(s.receipt.printQuantity, on) << value;
    }
    EXPECT_EQ(parseParamText("").jobFiles, JobFiles::Unset);
    const std::pair<std::string, Currency> currencies[] = {
        {"0", Currency::AsJob}, {"1", Currency::Main},  {"2", Currency::Secondary},
        {"3", Currency::Type3}, {"4", Currency::Other}, {"", Currency::Other}};
    for (const auto& [digit, currency] : currencies) {
        EXPECT_EQ(parseParamText("[currency]=" + digit).receipt.currency, currency) << digit;
    }
    for (const char* code : {"falseN", "true", "TRUE N", "true X"}) {
        EXPECT_EQ(parseParamText("[print_code] "s + code).receipt.printCode, PrintCodeChoice::None);
    }
    EXPECT_EQ(parseParamText("[print_code] true A").receipt.printCode, PrintCodeChoice::AsText);
    EXPECT_EQ(parseParamText("[ecrt] KORFP").receipt.registerFamily, RegisterFamily::Other);

    // The dialog ticks a box for "true" alone and keeps a currency or family it cannot show.
    ParamDialogValues shown;
    shown.registerFamily = "Tar48";
    shown.currency = CurrencyChoice::Main;
    loadDialogValues(parseParamText("[comments] TRUE\n[currency]=3\n[ecrt] KORFP"), shown);
    EXPECT_FALSE(shown.comments);
    EXPECT_EQ(shown.currency, CurrencyChoice::Main);
    EXPECT_EQ(shown.registerFamily, "Tar48");
}

TEST(ParamReaderTest, LinkAddressFollowsTheLineOrderAndAutoStartNeedsYes) {
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"[port] com1\r\n[baud] 9600", "com1:9600", false},
        {"[baud] 9600\r\n[port] com1", "com1", false},
        {"[port] com1\r\n[port] com2\r\n[baud] 4800", "com2:4800", false},
        // A repeated [baud] replaces the first rather than piling up a second ":".
        {"[port] com1\r\n[baud] 9600\r\n[baud] 4800", "com1:4800", false},
        {"[port] com1\n\r[baud] 9600\n\r", "com1:9600", false},
        // Blanks around the speed are not part of it: "9600 " would set up no port.
        {"[port] com1\r\n[baud] 9600 \r\n", "com1:9600", false},
        {"[autostar]=yes", "", true},
        {"[AUTOSTAR]=YES!", "", true},
        {"[AutoStar]= yes", "", false},
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
    const ParamSettings s =
        parseParamText("[port]  192.168.100.101:5012x\r\n[baud] 1152000\r\n[AutoStar]=yes",
                       ParamReadMode::Polling);
    EXPECT_EQ(s.linkAddress, " 192.168.100.101:501");
    EXPECT_EQ(s.baud, "115200");
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
    ASSERT_TRUE(writeParamFile(path, v, kToday));
    EXPECT_EQ(readParamFile(path)->linkAddress, "/dev/ttyUSB0:19200");
    v.location = "C:\\pos\r\n[port] com9";  // a line break in a field cannot forge a key
    EXPECT_EQ(parseParamText(formatParamFile(v, kToday)).port, "/dev/ttyUSB0");
}

// Each dialog is written whole, byte for byte as its golden file with its own print code,
// and shows again as it was with every print code.
TEST(ParamWriterTest, WritesTheGoldenFilesAndReadsThemBack) {
    const std::string path = ::testing::TempDir() + "/param_round_trip.ini";
    const PrintCodeChoice codes[] = {PrintCodeChoice::None, PrintCodeChoice::AsNumber,
                                     PrintCodeChoice::AsText};
    for (const auto& [golden, dialog] :
         {std::pair{"param_vesko.ini", veskoDialog()}, std::pair{"param_tar48.ini", tarDialog()}}) {
        for (const PrintCodeChoice code : codes) {
            ParamDialogValues v = dialog;
            v.printCode = code;
            ASSERT_TRUE(writeParamFile(path, v, kToday));
            if (code == dialog.printCode) {
                EXPECT_EQ(readFile(path),
                          readFile(std::string(MEROVAN_FIXTURES_DIR) + "/settings/" + golden));
            }
            const auto result = readParamFile(path);
            ASSERT_TRUE(result) << result.error().what;
            const ParamSettings& s = *result;
            EXPECT_EQ(s.linkAddress, v.baudHidden ? "192.168.1.50:5012" : "com3:19200");
            ParamDialogValues shown;
            loadDialogValues(s, shown);
            ParamDialogValues expected = v;
            expected.port = v.baudHidden ? v.port : "com3";
            expected.baud = v.baudHidden ? "5012" : v.baud;
            EXPECT_EQ(shown, expected);
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
        const auto read = readParamFile(path);
        ASSERT_FALSE(read);
        EXPECT_NE(read.error().what.find(path), std::string::npos) << read.error().what;
        const auto written = writeParamFile(path, veskoDialog(), kToday);
        ASSERT_FALSE(written);
        EXPECT_NE(written.error().what.find(path), std::string::npos) << written.error().what;
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
    settings.jobFiles = JobFiles::Numbered;
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
        EXPECT_TRUE(problems[0].what.starts_with("[location] " + bad + ": ")) << problems[0].what;
    }
    settings.jobFiles = JobFiles::Other;  // no jobs looked for: [location] matters not
    EXPECT_TRUE(settingsProblems(settings).empty());

    settings.port = "";
    settings.linkAddress = ":9600";
    const auto problems = settingsProblems(settings);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].what.starts_with("[port]")) << problems[0].what;
}

}  // namespace
}  // namespace merovan::settings
