#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/desktop/about_info.h"
#include "core/desktop/card_payment_form.h"
#include "core/desktop/help_text.h"
#include "core/desktop/settings_form.h"
#include "core/vat/vat_table.h"
#include "support/fake_clock.h"
#include "support/read_file.h"

namespace merovan::testing {
namespace {

using desktop::SettingsForm;

// A working directory of its own, with a fixture param.ini and a vats.dat.
class FormsTest : public ::testing::Test {
  protected:
    FormsTest() {
        dir_ = std::filesystem::temp_directory_path() /
               ("merovan-forms-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::copy_file(std::string(MEROVAN_FIXTURES_DIR) + "/settings/param_vesko.ini",
                                   dir_ / "param.ini");
        EXPECT_TRUE(vat::saveVatRates((dir_ / "vats.dat").string(), {24, 13, 6.5, 0, 17}));
    }
    ~FormsTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    desktop::DataFiles files() { return {dir_.string(), clock_, ","}; }
    std::string read(const char* name) const { return readFile(dir_ / name); }

    std::filesystem::path dir_;
    FakeClock clock_;
};

TEST_F(FormsTest, SettingsShowTheFileRestoreItAndWriteItBackByteForByte) {
    SettingsForm form(files());
    // What param.ini's values show as is the settings reader's (tests/settings); the form adds
    // the rates with the decimal mark in force.
    EXPECT_TRUE(form.load().empty());
    EXPECT_EQ(form.fields().registerFamily, "VeskoTan");
    EXPECT_EQ(form.vatRates()[2], "6,5");

    const std::string original = read("param.ini");
    form.fields().port = "192.168.1.9";
    form.fields().comments = false;
    form.fields().currency = settings::CurrencyChoice::Secondary;
    form.vatRates()[0] = "99";
    EXPECT_TRUE(form.restore().empty());
    EXPECT_EQ(form.fields().port, "com3");
    EXPECT_FALSE(form.baudHidden());
    EXPECT_TRUE(form.fields().comments);
    EXPECT_EQ(form.fields().currency, settings::CurrencyChoice::Main);
    EXPECT_EQ(form.vatRates()[0], "24");

    const auto saved = form.save();
    EXPECT_TRUE(saved.done);
    EXPECT_EQ(read("param.ini"), original);
    ASSERT_EQ(saved.messages.size(), 1u);
    EXPECT_EQ(saved.messages[0].title, "Merovan-Προσοχη");
    EXPECT_EQ(saved.messages[0].text,
              "Πρεπει να επανεκκινησετε το Merovan για ενεργοποιηση των μεταβολων ");
}

TEST_F(FormsTest, SettingsPrintCodeRulesAndAnIpAddressAsWritten) {
    SettingsForm form(files());
    form.load();
    form.checkNumericCode(true);
    EXPECT_EQ(form.fields().printCode, settings::PrintCodeChoice::AsNumber);
    form.checkTextCode(true);
    EXPECT_EQ(form.fields().printCode, settings::PrintCodeChoice::AsText);
    form.fields().port = "192.168.1.50";
    EXPECT_TRUE(form.baudHidden());
    ASSERT_TRUE(form.save().done);
    const std::string written = read("param.ini");
    EXPECT_NE(written.find("[print_code] true A\r\n"), std::string::npos);
    EXPECT_NE(written.find("[port] 192.168.1.50\r\n"), std::string::npos);
    EXPECT_NE(written.find("[baud] 5012\r\n"), std::string::npos);

    form.checkTextCode(false);
    ASSERT_TRUE(form.save().done);
    EXPECT_NE(read("param.ini").find("[print_code] falseN\r\n"), std::string::npos);
}

TEST_F(FormsTest, SettingsBadVatRateKeepsTheFormOpen) {
    SettingsForm form(files());
    form.load();
    const std::string rates = read("vats.dat");
    form.vatRates()[0] = "23.5";
    form.vatRates()[3] = "x";
    auto saved = form.save();
    EXPECT_FALSE(saved.done);
    ASSERT_EQ(saved.messages.size(), 1u);
    EXPECT_EQ(saved.messages[0].text, std::string(14, ' ') + "Λάθος στίς κατηγορίες ΦΠΑ!");
    EXPECT_EQ(saved.messages[0].title, "Merovan4_KVT");
    EXPECT_EQ(read("vats.dat"), rates);

    form.vatRates()[3] = "0";
    EXPECT_TRUE(form.save().done);
    EXPECT_EQ(form.vatRates()[0], "23,5");
    const auto stored = vat::loadVatRates((dir_ / "vats.dat").string());
    ASSERT_TRUE(stored);
    EXPECT_EQ((*stored)[0], 23.5);
}

TEST_F(FormsTest, SettingsSayWhenParamIniIsMissing) {
    std::filesystem::remove(dir_ / "param.ini");
    SettingsForm form(files());
    const auto boxes = form.load();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("param.ini"), std::string::npos);
    EXPECT_EQ(form.fields().location, "Text1");
}

TEST_F(FormsTest, CardPaymentSavesReadsAndDeletesPayment5) {
    desktop::CardPaymentForm form(files());
    form.fill();
    EXPECT_EQ(form.fields().payNumber, "01");
    form.fields() = {"5", 3, 2, true};
    EXPECT_FALSE(form.save());
    const std::string bytes = read("payeft.dat");

    form.fill();
    form.fields().payNumber = "05";
    ASSERT_TRUE(form.find());
    EXPECT_EQ(form.fields().registerPayment, 3);
    EXPECT_EQ(form.fields().terminal, 2);
    EXPECT_TRUE(form.fields().active);

    // A number the field cannot hold writes nothing.
    form.fields().payNumber = "0";
    EXPECT_FALSE(form.save());
    EXPECT_EQ(read("payeft.dat"), bytes);
    form.fields().payNumber = "5";
    EXPECT_FALSE(form.remove());
    form.fields().active = true;
    ASSERT_TRUE(form.find());
    EXPECT_FALSE(form.fields().active);
}

TEST_F(FormsTest, AboutBoxAndHelpText) {
    EXPECT_EQ(desktop::aboutInfo("4.01.7").version, "Version 4.1.7");
    EXPECT_EQ(desktop::aboutInfo("4").version, "Version 4.0.0");
    EXPECT_EQ(desktop::aboutInfo().caption, "Σχετικα Merovan");

    const std::vector<std::string> places = {(dir_ / "missing.txt").string(),
                                             (dir_ / "param.ini").string()};
    EXPECT_EQ(desktop::findHelpText(places), places[1]);
    EXPECT_EQ(desktop::findHelpText({places[0]}), std::nullopt);
    EXPECT_NE(desktop::helpTextMissing({places[0]}).find(places[0]), std::string::npos);
}

}  // namespace
}  // namespace merovan::testing
