#pragma once

#include "gui/win32/windows_api.h"

#include <vector>

#include "core/desktop/settings_form.h"
#include "gui/win32/dialog_frame.h"
#include "gui/win32/dialogs.h"

namespace merovan::gui::win32 {

// Draws the settings form and hands it the user's input. Only a click (or Alt+K) on
// "Kαταχωρηση" saves: its button is not the one Enter presses.
class SettingsDialog {
  public:
    enum Control : int {
        PortLabel = 100,
        Port,
        Baud,
        FileLabel,
        File,
        RegisterFamilyLabel,
        RegisterFamily,
        LocationLabel,
        Location,
        PrintCodeFrame,
        NumericCode,
        TextCode,
        PaymentFrame,
        PayAsJob,
        PayMain,
        PaySecondary,
        PrintManager,
        Description,
        Comments,
        Quantity,
        LockedKeyboard,
        DirectDepartment,
        AutoStart,
        VatFrame,
        VatLabel,  // five labels, then five fields
        VatRate = VatLabel + 5,
        Save = VatRate + 5,
        Restore,
    };

    explicit SettingsDialog(const DialogContext& context);

    // Makes the window, hidden, with the fields loaded from the files; false when Windows
    // refused. The boxes the load asks for are shown when the dialog runs.
    bool create(HWND owner);
    // Shows the dialog modal to its owner until it is closed or saved.
    SettingsOutcome run();

    HWND handle() const { return frame_.handle(); }
    DialogFrame& frame() { return frame_; }
    const desktop::SettingsForm& form() const { return form_; }

  private:
    void onCommand(int id, int code);
    void restore();
    bool save();
    void takeInput();
    void drawFields();
    void setField(int id, const std::string& text, int typedLimit);
    void drawThenShow(const std::vector<common::MessageBox>& boxes);

    DialogContext context_;
    desktop::SettingsForm form_;
    DialogFrame frame_;
    std::vector<common::MessageBox> loadMessages_;
    bool drawing_ = false;  // the fields are being drawn: their change notices are not input
};

}  // namespace merovan::gui::win32
