#include "gui/win32/card_payment_dialog.h"

#include "gui/win32/wide_text.h"
#include "gui/win32/window_icon.h"

namespace merovan::gui::win32 {
namespace {

using Id = CardPaymentDialog::Control;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;

// The picture buttons carry their tool tips as captions.
FrameDesign cardPaymentDesign() {
    FrameDesign design;
    design.caption = eft::kEftDialogCaption;
    design.width = 6420;
    design.height = 2460;
    design.controls = {
        {Id::PayNumberLabel, L"STATIC", "# πληρωμής Ταμειακής", SS_LEFT | SS_NOPREFIX, 120, 165,
         1980, 255},
        {Id::PayNumber, L"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 2160, 120, 600, 315},
        {Id::Find, L"BUTTON", "Αναζήτηση", kButton, 2820, 105, 1320, 345},
        {Id::RegisterPayment, L"COMBOBOX", "", kList, 2160, 540, 4140, 1800},
        {Id::TerminalLabel, L"STATIC", "# EFT POS", SS_LEFT | SS_NOPREFIX, 120, 1005, 1980, 255},
        {Id::Terminal, L"COMBOBOX", "", kList, 2160, 960, 4140, 1800},
        {Id::Active, L"BUTTON", "Ενεργή", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 2160, 1380, 2000,
         285},
        {Id::SaveRecord, L"BUTTON", "Αποθήκευση", kButton, 2160, 1920, 1320, 375},
        {Id::DeleteRecord, L"BUTTON", "Διαγραφή", kButton, 3570, 1920, 1320, 375},
        {Id::Exit, L"BUTTON", "Έξοδος", kButton, 4980, 1920, 1320, 375},
        {Id::Refresh, L"BUTTON", "Ανανέωση", kButton, 4980, 105, 1320, 345},
    };
    return design;
}

void fillList(HWND list, const std::vector<eft::ListEntry>& entries) {
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : entries) {
        const auto index = SendMessageW(list, CB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(toWide(entry.text).c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), entry.value);
    }
}

int selectedValue(HWND list) {
    const int index = comboSelection(list);
    return index < 0 ? 0
                     : static_cast<int>(
                           SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

// The entry storing value, the first one when none does.
void selectValue(HWND list, int value) {
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    WPARAM chosen = 0;
    for (WPARAM k = 0; static_cast<LRESULT>(k) < count; ++k) {
        if (SendMessageW(list, CB_GETITEMDATA, k, 0) == value) {
            chosen = k;
            break;
        }
    }
    SendMessageW(list, CB_SETCURSEL, chosen, 0);
}

}  // namespace

CardPaymentDialog::CardPaymentDialog(const DialogContext& context)
    : context_(context), form_(context.files) {}

bool CardPaymentDialog::create(HWND owner) {
    DialogFrame::Handlers handlers;
    handlers.command = [this](int id, int code) { onCommand(id, code); };
    if (!frame_.create(owner, cardPaymentDesign(), std::move(handlers))) {
        return false;
    }
    takeOwnerIcon(frame_.handle(), owner);
    SendMessageW(frame_.item(Id::PayNumber), EM_LIMITTEXT,
                 desktop::CardPaymentForm::kPayNumberLength, 0);
    frame_.setText(Id::PayNumber, form_.fields().payNumber);
    RECT ownerFrame{};
    if (owner != nullptr && GetWindowRect(owner, &ownerFrame)) {
        frame_.moveTo(ownerFrame.left + frame_.pixels(250), ownerFrame.top + frame_.pixels(500));
    }
    fill();
    return true;
}

void CardPaymentDialog::run() {
    frame_.runModal();
}

void CardPaymentDialog::onCommand(int id, int code) {
    if (id == Id::PayNumber) {
        // Entering the field selects its whole text, after the click has placed the caret.
        if (code == EN_SETFOCUS) {
            PostMessageW(frame_.item(id), EM_SETSEL, 0, -1);
        }
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    switch (id) {
        case Id::Find:
            takeInput();
            if (form_.find()) {
                drawFields();
            }
            break;
        case Id::SaveRecord:
            takeInput();
            showFailure(form_.save());
            break;
        case Id::DeleteRecord:
            takeInput();
            showFailure(form_.remove());
            break;
        case Id::Exit:
            frame_.endModal(IDCANCEL);
            break;
        case Id::Refresh:
            fill();
            break;
        default:
            // Enter (IDOK): no button of this dialog is pressed by it.
            break;
    }
}

void CardPaymentDialog::fill() {
    frame_.setCaption(eft::kEftDialogLoadingCaption);
    frame_.setVisible(Id::Refresh, false);
    UpdateWindow(frame_.handle());
    form_.fill();
    fillList(frame_.item(Id::Terminal), form_.terminals());
    fillList(frame_.item(Id::RegisterPayment), form_.registerPayments());
    drawFields();
    frame_.setCaption(eft::kEftDialogCaption);
    frame_.setVisible(Id::Refresh, true);
}

void CardPaymentDialog::takeInput() {
    desktop::CardPaymentFields& fields = form_.fields();
    fields.payNumber = frame_.text(Id::PayNumber);
    fields.registerPayment = selectedValue(frame_.item(Id::RegisterPayment));
    fields.terminal = selectedValue(frame_.item(Id::Terminal));
    fields.active = frame_.checked(Id::Active);
}

void CardPaymentDialog::drawFields() {
    const desktop::CardPaymentFields& fields = form_.fields();
    selectValue(frame_.item(Id::RegisterPayment), fields.registerPayment);
    selectValue(frame_.item(Id::Terminal), fields.terminal);
    frame_.setChecked(Id::Active, fields.active);
}

void CardPaymentDialog::showFailure(const std::optional<common::MessageBox>& box) {
    if (box) {
        context_.messages.show(frame_.handle(), *box);
    }
}

void runCardPaymentDialog(HWND owner, const DialogContext& context) {
    CardPaymentDialog dialog(context);
    if (dialog.create(owner)) {
        dialog.run();
    }
}

}  // namespace merovan::gui::win32
