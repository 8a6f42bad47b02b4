#pragma once

#include "gui/win32/windows_api.h"

#include <optional>

#include "core/desktop/card_payment_form.h"
#include "gui/win32/dialog_frame.h"
#include "gui/win32/dialogs.h"

namespace merovan::gui::win32 {

// Draws the card-payment mapping form and hands it the user's input.
class CardPaymentDialog {
  public:
    enum Control : int {
        PayNumberLabel = 100,
        PayNumber,
        Find,
        Refresh,
        RegisterPayment,
        TerminalLabel,
        Terminal,
        Active,
        SaveRecord,
        DeleteRecord,
        Exit,
    };

    explicit CardPaymentDialog(const DialogContext& context);

    // Makes the window, hidden, 250 twips right of and 500 twips below the owner's top-left
    // corner, with both lists filled; false when Windows refused.
    bool create(HWND owner);
    // Shows the dialog modal to its owner until it is closed.
    void run();

    DialogFrame& frame() { return frame_; }
    const desktop::CardPaymentForm& form() const { return form_; }

  private:
    void onCommand(int id, int code);
    // Refills both lists, the caption saying so meanwhile.
    void fill();
    void takeInput();
    void drawFields();
    void showFailure(const std::optional<common::MessageBox>& box);

    DialogContext context_;
    desktop::CardPaymentForm form_;
    DialogFrame frame_;
};

}  // namespace merovan::gui::win32
