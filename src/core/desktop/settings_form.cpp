#include "core/desktop/settings_form.h"

#include "core/common/codepage.h"
#include "core/vat/vat_table.h"

namespace merovan::desktop {
namespace {

constexpr const char* kVatParseFailed = "Λάθος στίς κατηγορίες ΦΠΑ!";
constexpr const char* kVatSaveFailed = "Λάθος κατά την αποθήκευση τών κατηγορίών ΦΠΑ!";
constexpr const char* kRestartTitle = "Merovan-Προσοχη";
constexpr const char* kRestartText =
    "Πρεπει να επανεκκινησετε το Merovan για ενεργοποιηση των μεταβολων ";

common::MessageBox box(std::string_view text, int buttons, std::string_view title = {}) {
    return common::formatMessageBox(text, buttons, title);
}

// The dialog's loading rules live with the settings; the form only keeps what it shows.
void fillFromParams(SettingsFields& f, const settings::ParamSettings& s) {
    settings::ParamDialogValues v;
    v.registerFamily =
        SettingsForm::kRegisterFamilies.at(static_cast<std::size_t>(f.registerFamily));
    v.currency = f.currency;
    v.autoStart = f.autoStart;
    settings::loadDialogValues(s, v);
    f.port = v.port;
    f.baud = v.baud;
    f.file = v.file;
    f.registerFamily = v.registerFamily == SettingsForm::kRegisterFamilies[1] ? 1 : 0;
    f.printManager = v.multiType;
    f.description = v.printDesc;
    f.numericCode = v.printCode == settings::PrintCodeChoice::AsNumber;
    f.textCode = v.printCode == settings::PrintCodeChoice::AsText;
    f.comments = v.comments;
    f.quantity = v.quantity;
    f.lockedKeyboard = v.keybOff;
    f.directDepartment = v.dirDepa;
    f.currency = v.currency;
    f.location = v.location;
    f.autoStart = v.autoStart;
}

}  // namespace

void SettingsForm::checkNumericCode(bool checked) {
    fields_.numericCode = checked;
    if (checked) {
        fields_.textCode = false;
    }
}

void SettingsForm::checkTextCode(bool checked) {
    fields_.textCode = checked;
    if (checked) {
        fields_.numericCode = false;
    }
}

std::vector<common::MessageBox> SettingsForm::load() {
    std::vector<common::MessageBox> messages;
    const auto read = settings::readParamFile(files_.pathOf("param.ini"));
    if (read) {
        fillFromParams(fields_, *read);
    } else {
        // The dialog is how a missing param.ini is made anew: it stays open for that.
        messages.push_back(box(read.error().what, common::buttons::kCritical));
    }
    if (const auto rates = vat::loadVatRates(files_.pathOf(vat::kVatFileName))) {
        for (std::size_t k = 0; k < rates->size(); ++k) {
            fields_.vatRates[k] = vat::formatRateForDisplay((*rates)[k], files_.decimalSeparator);
        }
    }
    return messages;
}

std::vector<common::MessageBox> SettingsForm::restore() {
    // Only the auto-start box and the VAT rates keep what they showed.
    fields_ = SettingsFields{.port = "0",
                             .baud = "0",
                             .location = " ",
                             .autoStart = fields_.autoStart,
                             .vatRates = fields_.vatRates};
    return load();
}

settings::ParamDialogValues SettingsForm::values() const {
    settings::ParamDialogValues v;
    v.port = fields_.port;
    v.baud = fields_.baud;
    v.baudHidden = baudHidden();
    v.file = fields_.file;
    v.registerFamily = kRegisterFamilies.at(static_cast<std::size_t>(fields_.registerFamily));
    v.multiType = fields_.printManager;
    v.printDesc = fields_.description;
    if (fields_.numericCode) {
        v.printCode = settings::PrintCodeChoice::AsNumber;
    } else if (fields_.textCode) {
        v.printCode = settings::PrintCodeChoice::AsText;
    }
    v.comments = fields_.comments;
    v.currency = fields_.currency;
    v.keybOff = fields_.lockedKeyboard;
    v.dirDepa = fields_.directDepartment;
    v.quantity = fields_.quantity;
    v.autoStart = fields_.autoStart;
    v.location = fields_.location;
    return v;
}

SettingsForm::Saved SettingsForm::save() {
    Saved saved;
    const auto written = settings::writeParamFile(files_.pathOf("param.ini"), values(),
                                                  files_.clock.localDateTime());
    if (!written) {
        // Asking for a restart would promise settings that were never saved.
        saved.messages.push_back(box(written.error().what, common::buttons::kExclamation));
        return saved;
    }
    vat::VatRates rates{};
    if (vat::parseVatRates(fields_.vatRates, rates) != 0) {
        saved.messages.push_back(box(kVatParseFailed, common::buttons::kExclamation));
        return saved;
    }
    if (!vat::saveVatRates(files_.pathOf(vat::kVatFileName), rates)) {
        saved.messages.push_back(box(kVatSaveFailed, common::buttons::kExclamation));
    }
    saved.messages.push_back(box(kRestartText, common::buttons::kCritical, kRestartTitle));
    saved.done = true;
    return saved;
}

}  // namespace merovan::desktop
