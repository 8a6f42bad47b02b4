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

}  // namespace

SettingsForm::SettingsForm(DataFiles files) : files_(std::move(files)) {
    fields_.registerFamily = kRegisterFamilies[0];
    fields_.location = "Text1";
}

// One choice behind the two boxes keeps them from both being ticked.
void SettingsForm::checkNumericCode(bool checked) {
    if (checked) {
        fields_.printCode = settings::PrintCodeChoice::AsNumber;
    } else if (fields_.printCode == settings::PrintCodeChoice::AsNumber) {
        fields_.printCode = settings::PrintCodeChoice::None;
    }
}

void SettingsForm::checkTextCode(bool checked) {
    if (checked) {
        fields_.printCode = settings::PrintCodeChoice::AsText;
    } else if (fields_.printCode == settings::PrintCodeChoice::AsText) {
        fields_.printCode = settings::PrintCodeChoice::None;
    }
}

std::vector<common::MessageBox> SettingsForm::load() {
    std::vector<common::MessageBox> messages;
    const auto read = settings::readParamFile(files_.pathOf("param.ini"));
    if (read) {
        settings::loadDialogValues(*read, fields_);
    } else {
        // The dialog is how a missing param.ini is made anew: it stays open for that.
        messages.push_back(box(read.error().what, common::buttons::kCritical));
    }
    if (const auto rates = vat::loadVatRates(files_.pathOf(vat::kVatFileName))) {
        for (std::size_t k = 0; k < rates->size(); ++k) {
            vatRates_[k] = vat::formatRateForDisplay((*rates)[k], files_.decimalSeparator);
        }
    }
    return messages;
}

std::vector<common::MessageBox> SettingsForm::restore() {
    // Only the auto-start box and the VAT rates keep what they showed.
    settings::ParamDialogValues reset;
    reset.port = "0";
    reset.baud = "0";
    reset.registerFamily = kRegisterFamilies[0];
    reset.location = " ";
    reset.autoStart = fields_.autoStart;
    fields_ = reset;
    return load();
}

SettingsForm::Saved SettingsForm::save() {
    Saved saved;
    settings::ParamDialogValues values = fields_;
    values.baudHidden = baudHidden();
    const auto written =
        settings::writeParamFile(files_.pathOf("param.ini"), values, files_.clock.localDateTime());
    if (!written) {
        // Asking for a restart would promise settings that were never saved.
        saved.messages.push_back(box(written.error().what, common::buttons::kExclamation));
        return saved;
    }
    vat::VatRates rates{};
    if (vat::parseVatRates(vatRates_, rates) != 0) {
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
