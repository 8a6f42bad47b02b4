#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "gui_fixture.h"

namespace merovan::testing {
namespace {

void pressEnter(QWidget* field) {
    field->setFocus();
    for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(field, &key);
    }
}

TEST_F(GuiTest, SettingsDialogSavesOnlyOnItsButton) {
    QPointer<gui::SettingsDialog> dialog = new gui::SettingsDialog(context());
    dialog->show();
    bool saved = false;
    QObject::connect(dialog, &gui::SettingsDialog::saved, [&saved] { saved = true; });
    const std::string original = readFile("param.ini");
    child<QLineEdit>(dialog, "comtxt")->setText("192.168.1.50");
    EXPECT_TRUE(child<QLineEdit>(dialog, "baudtxt")->isHidden());
    for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
        pressEnter(field);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile("param.ini"), original);
    EXPECT_TRUE(messages_.boxes.empty());

    child<QCheckBox>(dialog, "print_code_ascii")->click();
    EXPECT_FALSE(child<QCheckBox>(dialog, "print_code_numeric")->isChecked());
    child<QPushButton>(dialog, "OK")->click();
    EXPECT_TRUE(saved);
    EXPECT_NE(readFile("param.ini").find("[baud] 5012\r\n"), std::string::npos);
    EXPECT_NE(readFile("param.ini").find("[print_code] true A\r\n"), std::string::npos);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(GuiTest, CardPaymentDialogWritesWhatItShows) {
    gui::CardPaymentDialog dialog(context());
    dialog.fill();
    EXPECT_EQ(dialog.windowTitle(), "Πληρωμές Καρτών");
    child<QLineEdit>(&dialog, "txtPay")->setText("5");
    child<QComboBox>(&dialog, "cmbECRPayment")->setCurrentText("EFT Προφορτωμένη");
    child<QComboBox>(&dialog, "cmbECREFT")->setCurrentText("EFTPOS #2");
    child<QCheckBox>(&dialog, "chkActive")->setChecked(true);
    dialog.save();
    EXPECT_EQ(readFile("payeft.dat").substr(512, 8),
              std::string("\x05\x00\x03\x00\x02\x00\xFF\xFF", 8));
    dialog.fill();
    child<QLineEdit>(&dialog, "txtPay")->setText("05");
    dialog.find();
    EXPECT_EQ(child<QComboBox>(&dialog, "cmbECREFT")->currentText(), "EFTPOS #2");
    EXPECT_TRUE(child<QCheckBox>(&dialog, "chkActive")->isChecked());
}

}  // namespace
}  // namespace merovan::testing
