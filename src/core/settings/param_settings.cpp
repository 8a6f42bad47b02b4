#include "core/settings/param_settings.h"

namespace merovan::settings {

Flag flagOf(std::string_view value) {
    if (value == "true") {
        return Flag::On;
    }
    return value == "fals" ? Flag::Off : Flag::Other;
}

JobFiles jobFilesOf(std::string_view value) {
    if (value.empty()) {
        return JobFiles::Unset;
    }
    switch (flagOf(value)) {
        case Flag::On:
            return JobFiles::Numbered;
        case Flag::Off:
            return JobFiles::Single;
        case Flag::Other:
            break;
    }
    return JobFiles::Other;
}

PrintCodeChoice printCodeOf(std::string_view value) {
    if (value == "true N") {
        return PrintCodeChoice::AsNumber;
    }
    return value == "true A" ? PrintCodeChoice::AsText : PrintCodeChoice::None;
}

Comments commentsOf(std::string_view value) {
    if (value == "TRUE") {
        return Comments::Capitals;
    }
    switch (flagOf(value)) {
        case Flag::On:
            return Comments::On;
        case Flag::Off:
            return Comments::Off;
        case Flag::Other:
            break;
    }
    return Comments::Other;
}

Currency currencyOf(std::string_view value) {
    if (value.size() != 1) {
        return Currency::Other;
    }
    switch (value[0]) {
        case '0':
            return Currency::AsJob;
        case '1':
            return Currency::Main;
        case '2':
            return Currency::Secondary;
        case '3':
            return Currency::Type3;
        default:
            return Currency::Other;
    }
}

RegisterFamily registerFamilyOf(std::string_view value) {
    if (value == "vesko") {
        return RegisterFamily::Vesko;
    }
    return value == "tar48" ? RegisterFamily::Tar48 : RegisterFamily::Other;
}

}  // namespace merovan::settings
