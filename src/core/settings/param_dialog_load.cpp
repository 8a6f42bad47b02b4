#include "core/common/codepage.h"
#include "core/settings/param_file.h"

namespace merovan::settings {

void loadDialogValues(const ParamSettings& settings, ParamDialogValues& values) {
    const std::string& address = settings.linkAddress;
    const auto colon = address.find(':');
    values.port = common::cp1253ToUtf8(address.substr(0, colon));
    std::string baud;
    if (colon != std::string::npos) {
        baud = address.substr(colon + 1);
        baud = baud.substr(0, baud.find(':'));
    }
    values.baud = common::cp1253ToUtf8(baud);
    // An IP address hides the baud field, which then stands for the register's UDP port.
    values.baudHidden = values.port.find('.') != std::string::npos;
    values.file = common::cp1253ToUtf8(settings.file);
    values.location = common::cp1253ToUtf8(settings.location);

    const ReceiptSettings& r = settings.receipt;
    if (r.registerFamily == RegisterFamily::Vesko) {
        values.registerFamily = "VeskoTan";
    } else if (r.registerFamily == RegisterFamily::Tar48) {
        values.registerFamily = "Tar48";
    }
    values.multiType = settings.jobFiles == JobFiles::Numbered;
    values.printDesc = r.printDescription == Flag::On;
    values.printCode = r.printCode;
    values.comments = r.comments == Comments::On;  // not for "TRUE"
    switch (r.currency) {
        case Currency::AsJob:
            values.currency = CurrencyChoice::AsJob;
            break;
        case Currency::Main:
            values.currency = CurrencyChoice::Main;
            break;
        case Currency::Secondary:
            values.currency = CurrencyChoice::Secondary;
            break;
        case Currency::Type3:
        case Currency::Other:
            break;
    }
    values.keybOff = r.keyboardLocked;
    values.dirDepa = r.directDepartment;
    values.quantity = r.printQuantity;
    if (settings.autoStart) {
        values.autoStart = true;
    }
}

}  // namespace merovan::settings
