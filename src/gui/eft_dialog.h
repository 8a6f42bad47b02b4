#pragma once

#include <QDialog>
#include <optional>

#include "core/eft/eft_table.h"
#include "gui/gui_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace merovan::gui {

// Which POS payment numbers are card payments, with the register's payment kind and the card
// terminal of each, kept in payeft.dat.
class EftDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit EftDialog(GuiContext context);

    // Shows the dialog and refills both lists.
    void frmFill();
    // The record of the payment number in txtPay into the fields.
    void cmdFind();
    void save();
    void cmddelete();

  signals:
    // cmdRef: the lists are to be read again, as the menu entry reads them.
    void refreshRequested();

  private:
    // The payment number in txtPay when it is a whole number the field can hold (1 to 99).
    std::optional<int> payNumber() const;
    std::string path() const;
    void write(const eft::EftPaymentRecord& record);

    GuiContext context_;
    QLineEdit* txtPay_;
    QComboBox* cmbECRPayment_;
    QComboBox* cmbECREFT_;
    QCheckBox* chkActive_;
    QToolButton* cmdRef_;
};

}  // namespace merovan::gui
