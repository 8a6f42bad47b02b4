#include "gui/win32/settings_dialog.h"

#include <algorithm>
#include <array>
#include <utility>

#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {
namespace {

using desktop::SettingsForm;
using settings::CurrencyChoice;
using settings::PrintCodeChoice;
using Id = SettingsDialog::Control;

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kField = ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
constexpr DWORD kFrame = BS_GROUPBOX;
constexpr int kUnlimited = 32767;

// The boxes that each carry one setting as they are ticked.
using Flag = bool settings::ParamDialogValues::*;
constexpr std::array<std::pair<Id, Flag>, 7> kFlagBoxes{{
    {Id::PrintManager, &settings::ParamDialogValues::multiType},
    {Id::Description, &settings::ParamDialogValues::printDesc},
    {Id::Comments, &settings::ParamDialogValues::comments},
    {Id::Quantity, &settings::ParamDialogValues::quantity},
    {Id::LockedKeyboard, &settings::ParamDialogValues::keybOff},
    {Id::DirectDepartment, &settings::ParamDialogValues::dirDepa},
    {Id::AutoStart, &settings::ParamDialogValues::autoStart},
}};

// Two columns, in twips: the link and the two choices on the left, the boxes and the VAT
// rates on the right, the buttons under the right column.
FrameDesign settingsDesign() {
    FrameDesign design;
    design.caption = "Παράμετροι Merovan";
    design.width = 8520;
    design.height = 5130;
    auto& c = design.controls;
    const auto row = [](int index) { return 120 + index * 405; };
    c.push_back(
        {Id::PortLabel, L"STATIC", "Πορτα σειριακή / IP", kLabel, 120, row(0) + 45, 2100, 255});
    c.push_back({Id::Port, L"EDIT", "", kField, 2280, row(0), 1440, 315});
    c.push_back({Id::Baud, L"EDIT", "", kField, 3780, row(0), 1140, 315});
    c.push_back({Id::FileLabel, L"STATIC", "Αρχειο", kLabel, 120, row(1) + 45, 2100, 255});
    c.push_back({Id::File, L"EDIT", "", kField, 2280, row(1), 2640, 315});
    c.push_back(
        {Id::RegisterFamilyLabel, L"STATIC", "Ταμειακη", kLabel, 120, row(2) + 45, 2100, 255});
    c.push_back({Id::RegisterFamily, L"COMBOBOX", "",
                 CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 2280, row(2), 2640, 1500});
    c.push_back({Id::LocationLabel, L"STATIC", "Διαδρομη", kLabel, 120, row(3) + 45, 2100, 255});
    c.push_back({Id::Location, L"EDIT", "", kField, 2280, row(3), 2640, 315});

    c.push_back(
        {Id::PrintCodeFrame, L"BUTTON", "Εκτυπωση Κωδικου Ειδους", kFrame, 120, 1800, 4800, 1065});
    c.push_back({Id::NumericCode, L"BUTTON", "Mε Εκτυπωση Κωδικου Αριθμητικου", kCheck, 300, 2085,
                 4500, 285});
    c.push_back(
        {Id::TextCode, L"BUTTON", "Με Εκτυπωση Κωδικου Ascii", kCheck, 300, 2430, 4500, 285});
    c.push_back(
        {Id::PaymentFrame, L"BUTTON", "Τροπος Εξοφλησης Αποδειξης", kFrame, 120, 2985, 4800, 1500});
    c.push_back({Id::PayAsJob, L"BUTTON", "Οπως Στο Αρχειο",
                 BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 300, 3285, 4500, 285});
    c.push_back(
        {Id::PayMain, L"BUTTON", "Παντα Κυριο Νομισμα", BS_AUTORADIOBUTTON, 300, 3645, 4500, 285});
    c.push_back({Id::PaySecondary, L"BUTTON", "Παντα Δευτερευων", BS_AUTORADIOBUTTON, 300, 4005,
                 4500, 285});

    const std::array<std::pair<Id, const char*>, 7> checks{{
        {Id::PrintManager, "Print Manager"},
        {Id::Description, "Mε Περιγραφη"},
        {Id::Comments, "Mε Σχολια"},
        {Id::Quantity, "Mε Εκτυπωση Ποσοτητας"},
        {Id::LockedKeyboard, "Κλειδωμενο Πληκτρολογιο"},
        {Id::DirectDepartment, "Direct Deparment"},
        {Id::AutoStart, "Αυτόματη Έναρξη Εκτυπώσεων"},
    }};
    for (std::size_t k = 0; k < checks.size(); ++k) {
        c.push_back({checks[k].first, L"BUTTON", checks[k].second, kCheck, 5100,
                     120 + static_cast<int>(k) * 345, 3300, 285});
    }

    c.push_back({Id::VatFrame, L"BUTTON", "Κατηγορίες ΦΠΑ", kFrame, 5100, 2580, 3300, 1905});
    const std::array<const char*, 5> categories{"Κατηγορία Α'", "Κατηγορία Β'", "Κατηγορία Γ'",
                                                "Κατηγορία Δ'", "Κατηγορία Ε'"};
    for (int k = 0; k < 5; ++k) {
        const int top = 2850 + k * 315;
        c.push_back({Id::VatLabel + k, L"STATIC", categories[static_cast<std::size_t>(k)], kLabel,
                     5280, top + 30, 1800, 255});
        c.push_back({Id::VatRate + k, L"EDIT", "", kField, 7260, top, 960, 300});
    }

    // Plain push buttons: Enter presses none of them.
    c.push_back({Id::Save, L"BUTTON", "&Kαταχωρηση", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 5580,
                 4635, 1380, 375});
    c.push_back({Id::Restore, L"BUTTON", "&Eπαναφορα", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 7020,
                 4635, 1380, 375});
    return design;
}

}  // namespace

SettingsDialog::SettingsDialog(const DialogContext& context)
    : context_(context), form_(context.files) {}

bool SettingsDialog::create(HWND owner) {
    DialogFrame::Handlers handlers;
    handlers.command = [this](int id, int code) { onCommand(id, code); };
    if (!frame_.create(owner, settingsDesign(), std::move(handlers))) {
        return false;
    }
    HWND family = frame_.item(Id::RegisterFamily);
    for (const char* name : SettingsForm::kRegisterFamilies) {
        SendMessageW(family, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(name).c_str()));
    }
    for (int k = 0; k < 5; ++k) {
        SendMessageW(frame_.item(Id::VatRate + k), EM_LIMITTEXT, SettingsForm::kVatLength, 0);
    }
    drawFields();
    loadMessages_ = form_.load();
    drawFields();
    return true;
}

SettingsOutcome SettingsDialog::run() {
    if (frame_.handle() == nullptr) {
        return SettingsOutcome::Closed;
    }
    // A missing param.ini is said over the dialog that makes it anew.
    ShowWindow(frame_.handle(), SW_SHOW);
    drawThenShow(std::exchange(loadMessages_, {}));
    return frame_.runModal() == IDOK ? SettingsOutcome::Saved : SettingsOutcome::Closed;
}

void SettingsDialog::onCommand(int id, int code) {
    if (drawing_) {
        return;
    }
    switch (id) {
        case Id::Port:
            if (code == EN_CHANGE) {
                form_.fields().port = frame_.text(Id::Port);
                frame_.setVisible(Id::Baud, !form_.baudHidden());
            }
            break;
        case Id::NumericCode:
            form_.checkNumericCode(frame_.checked(Id::NumericCode));
            frame_.setChecked(Id::TextCode, form_.fields().printCode == PrintCodeChoice::AsText);
            break;
        case Id::TextCode:
            form_.checkTextCode(frame_.checked(Id::TextCode));
            frame_.setChecked(Id::NumericCode,
                              form_.fields().printCode == PrintCodeChoice::AsNumber);
            break;
        case Id::Save:
            if (code == BN_CLICKED && save()) {
                frame_.endModal(IDOK);
            }
            break;
        case Id::Restore:
            if (code == BN_CLICKED) {
                restore();
            }
            break;
        default:
            // Entering a VAT rate selects it whole, so that typing replaces it; after the
            // click that gave the focus has placed the caret.
            if (id >= Id::VatRate && id < Id::VatRate + 5 && code == EN_SETFOCUS) {
                PostMessageW(frame_.item(id), EM_SETSEL, 0, -1);
            }
            // Enter (IDOK) and everything else: nothing to do.
            break;
    }
}

void SettingsDialog::takeInput() {
    settings::ParamDialogValues& f = form_.fields();
    f.port = frame_.text(Id::Port);
    f.baud = frame_.text(Id::Baud);
    f.file = frame_.text(Id::File);
    if (const int family = comboSelection(frame_.item(Id::RegisterFamily)); family >= 0) {
        f.registerFamily = SettingsForm::kRegisterFamilies.at(static_cast<std::size_t>(family));
    }
    f.location = frame_.text(Id::Location);
    for (const auto& [id, flag] : kFlagBoxes) {
        f.*flag = frame_.checked(id);
    }
    f.printCode = frame_.checked(Id::NumericCode) ? PrintCodeChoice::AsNumber
                  : frame_.checked(Id::TextCode)  ? PrintCodeChoice::AsText
                                                  : PrintCodeChoice::None;
    f.currency = frame_.checked(Id::PayMain)        ? CurrencyChoice::Main
                 : frame_.checked(Id::PaySecondary) ? CurrencyChoice::Secondary
                                                    : CurrencyChoice::AsJob;
    for (int k = 0; k < 5; ++k) {
        form_.vatRates()[static_cast<std::size_t>(k)] = frame_.text(Id::VatRate + k);
    }
}

// The file may hold more than a field lets the user type; it is shown whole all the same.
void SettingsDialog::setField(int id, const std::string& text, int typedLimit) {
    const std::wstring shown = toWide(text);
    SendMessageW(frame_.item(id), EM_LIMITTEXT,
                 static_cast<WPARAM>(std::max<std::size_t>(typedLimit, shown.size())), 0);
    SetWindowTextW(frame_.item(id), shown.c_str());
}

void SettingsDialog::drawFields() {
    drawing_ = true;
    const settings::ParamDialogValues& f = form_.fields();
    setField(Id::Port, f.port, SettingsForm::kPortLength);
    setField(Id::Baud, f.baud, SettingsForm::kBaudLength);
    setField(Id::File, f.file, SettingsForm::kFileLength);
    HWND family = frame_.item(Id::RegisterFamily);
    const auto found = SendMessageW(family, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(toWide(f.registerFamily).c_str()));
    if (found != CB_ERR) {
        SendMessageW(family, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    setField(Id::Location, f.location, kUnlimited);
    for (const auto& [id, flag] : kFlagBoxes) {
        frame_.setChecked(id, f.*flag);
    }
    frame_.setChecked(Id::NumericCode, f.printCode == PrintCodeChoice::AsNumber);
    frame_.setChecked(Id::TextCode, f.printCode == PrintCodeChoice::AsText);
    frame_.setChecked(Id::PayAsJob, f.currency == CurrencyChoice::AsJob);
    frame_.setChecked(Id::PayMain, f.currency == CurrencyChoice::Main);
    frame_.setChecked(Id::PaySecondary, f.currency == CurrencyChoice::Secondary);
    for (int k = 0; k < 5; ++k) {
        frame_.setText(Id::VatRate + k, form_.vatRates()[static_cast<std::size_t>(k)]);
    }
    frame_.setVisible(Id::Baud, !form_.baudHidden());
    drawing_ = false;
}

// The form's answer is drawn before its boxes are shown over the dialog.
void SettingsDialog::drawThenShow(const std::vector<common::MessageBox>& boxes) {
    drawFields();
    for (const auto& box : boxes) {
        context_.messages.show(frame_.handle(), box);
    }
}

void SettingsDialog::restore() {
    takeInput();
    drawThenShow(form_.restore());
}

bool SettingsDialog::save() {
    takeInput();
    const auto outcome = form_.save();
    drawThenShow(outcome.messages);
    return outcome.done;
}

SettingsOutcome runSettingsDialog(HWND owner, const DialogContext& context) {
    SettingsDialog dialog(context);
    if (!dialog.create(owner)) {
        return SettingsOutcome::Closed;
    }
    return dialog.run();
}

}  // namespace merovan::gui::win32
