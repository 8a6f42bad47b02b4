#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "core/vat/vat_table.h"
#include "gui_fixture.h"

namespace merovan::testing {
namespace {

using gui::SettingsDialog;

class SettingsDialogTest : public GuiTest {
  protected:
    SettingsDialogTest() {
        writeParam("param_vesko.ini");
        EXPECT_TRUE(vat::saveVatRates((dir_ / "vats.dat").string(), {24, 13, 6.5, 0, 17}));
        dialog_ = new SettingsDialog(context());
        dialog_->show();
    }
    ~SettingsDialogTest() override { delete dialog_; }

    QLineEdit* field(const char* name) { return child<QLineEdit>(dialog_, name); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(dialog_, name); }
    QLineEdit* vatField(int index) {
        return dialog_->findChildren<QLineEdit*>("txtVatRate")[index];
    }
    void clickOk() { child<QPushButton>(dialog_, "OK")->click(); }

    QPointer<SettingsDialog> dialog_;
};

TEST_F(SettingsDialogTest, ShowsTheFileAndWritesItBackByteForByte) {
    EXPECT_EQ(field("comtxt")->text(), "com3");
    EXPECT_EQ(field("baudtxt")->text(), "19200");
    EXPECT_EQ(field("filetxt")->text(), "Print");
    EXPECT_EQ(child<QComboBox>(dialog_, "typetxt")->currentText(), "VeskoTan");
    for (const char* name : {"multi_print", "descreption", "print_code_ascii", "comments",
                             "quantity", "keyb_locked", "dirdep", "ChkAuto"}) {
        EXPECT_TRUE(check(name)->isChecked()) << name;
    }
    EXPECT_FALSE(check("print_code_numeric")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(dialog_, "total_1")->isChecked());
    EXPECT_EQ(vatField(2)->text(), "6,5");

    // Every field changed, then restored from the files.
    const std::string original = readFile("param.ini");
    field("comtxt")->setText("192.168.1.9");
    field("filetxt")->setText("other");
    check("comments")->setChecked(false);
    child<QRadioButton>(dialog_, "total_2")->setChecked(true);
    vatField(0)->setText("99");
    child<QPushButton>(dialog_, "restore")->click();
    EXPECT_EQ(field("comtxt")->text(), "com3");
    EXPECT_FALSE(field("baudtxt")->isHidden());
    EXPECT_TRUE(check("comments")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(dialog_, "total_1")->isChecked());
    EXPECT_EQ(vatField(0)->text(), "24");

    bool saved = false;
    QObject::connect(dialog_, &SettingsDialog::saved, [&saved] { saved = true; });
    clickOk();
    EXPECT_TRUE(saved);
    EXPECT_EQ(readFile("param.ini"), original);
    ASSERT_FALSE(messages_.boxes.empty());
    EXPECT_EQ(messages_.boxes.back().title, "Merovan-Προσοχη");
    EXPECT_EQ(messages_.boxes.back().text,
              "Πρεπει να επανεκκινησετε το Merovan για ενεργοποιηση των μεταβολων ");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog_.isNull());
}

TEST_F(SettingsDialogTest, PrintCodeBoxesAndIpAddressAsWritten) {
    check("print_code_numeric")->click();
    EXPECT_TRUE(check("print_code_numeric")->isChecked());
    EXPECT_FALSE(check("print_code_ascii")->isChecked());
    check("print_code_ascii")->click();
    EXPECT_FALSE(check("print_code_numeric")->isChecked());
    field("comtxt")->setText("192.168.1.50");
    EXPECT_TRUE(field("baudtxt")->isHidden());
    dialog_->OK();
    const std::string written = readFile("param.ini");
    EXPECT_NE(written.find("[print_code] true A\r\n"), std::string::npos);
    EXPECT_NE(written.find("[port] 192.168.1.50\r\n"), std::string::npos);
    EXPECT_NE(written.find("[baud] 5012\r\n"), std::string::npos);

    check("print_code_ascii")->click();
    dialog_->OK();
    EXPECT_NE(readFile("param.ini").find("[print_code] falseN\r\n"), std::string::npos);
}

TEST_F(SettingsDialogTest, BadVatRateKeepsTheDialogOpen) {
    const std::string rates = readFile("vats.dat");
    vatField(0)->setText("23.5");
    vatField(3)->setText("x");
    clickOk();
    EXPECT_TRUE(dialog_->isVisible());
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_EQ(messages_.boxes[0].text, std::string(14, ' ') + "Λάθος στίς κατηγορίες ΦΠΑ!");
    EXPECT_EQ(messages_.boxes[0].title, "Merovan4_KVT");
    EXPECT_EQ(readFile("vats.dat"), rates);

    vatField(3)->setText("0");
    clickOk();
    EXPECT_EQ(vatField(0)->text(), "23,5");
    const auto stored = vat::loadVatRates((dir_ / "vats.dat").string());
    ASSERT_TRUE(stored);
    EXPECT_EQ((*stored)[0], 23.5);
}

TEST_F(GuiTest, CardPaymentDialogSavesAndReadsPayment5) {
    gui::EftDialog eft(context());
    eft.frmFill();
    EXPECT_EQ(eft.windowTitle(), "Πληρωμές Καρτών");
    auto* pay = child<QLineEdit>(&eft, "txtPay");
    auto* kind = child<QComboBox>(&eft, "cmbECRPayment");
    auto* terminal = child<QComboBox>(&eft, "cmbECREFT");
    auto* active = child<QCheckBox>(&eft, "chkActive");
    pay->setText("5");
    kind->setCurrentText("EFT Προφορτωμένη");
    terminal->setCurrentText("EFTPOS #2");
    active->setChecked(true);
    eft.save();
    const std::string bytes = readFile("payeft.dat");
    ASSERT_GE(bytes.size(), 520u);
    EXPECT_EQ(bytes.substr(512, 8), std::string("\x05\x00\x03\x00\x02\x00\xFF\xFF", 8));

    eft.frmFill();
    active->setChecked(false);
    pay->setText("05");
    eft.cmdFind();
    EXPECT_EQ(kind->currentText(), "EFT Προφορτωμένη");
    EXPECT_EQ(terminal->currentText(), "EFTPOS #2");
    EXPECT_TRUE(active->isChecked());

    // A number the field cannot hold writes nothing.
    pay->setText("0");
    eft.save();
    EXPECT_EQ(readFile("payeft.dat"), bytes);
}

}  // namespace
}  // namespace merovan::testing
