#pragma once

#include <QDialog>

#include "core/desktop/card_payment_form.h"
#include "gui/qt/gui_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace merovan::gui {

// Draws the card-payment mapping form and hands it the user's input.
class CardPaymentDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit CardPaymentDialog(GuiContext context);

    // Shows the dialog and refills both lists.
    void fill();
    // The record of the payment number typed into the fields.
    void find();
    void save();
    void remove();

  signals:
    // The lists are to be read again, as the menu entry reads them.
    void refreshRequested();

  private:
    void takeInput();
    void drawFields();
    void showFailure(const std::optional<common::MessageBox>& box);

    GuiContext context_;
    desktop::CardPaymentForm form_;
    QLineEdit* payNumberField_;
    QComboBox* registerPaymentList_;
    QComboBox* terminalList_;
    QCheckBox* activeBox_;
    QToolButton* refreshButton_;
};

}  // namespace merovan::gui
