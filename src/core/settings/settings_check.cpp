#include "core/settings/settings_check.h"

#include <filesystem>
#include <system_error>

#include "core/common/codepage.h"
#include "core/common/text.h"

namespace merovan::settings {
namespace {

namespace fs = std::filesystem;

// Only numbered and single job files are looked for; no other mode reads [location].
bool looksForJobs(const ParamSettings& settings) {
    return settings.jobFiles == JobFiles::Numbered || settings.jobFiles == JobFiles::Single;
}

common::Result<void> checkLocation(const std::string& location) {
    if (location.empty()) {
        return {};  // the working directory
    }
    const std::string shown = "[location] " + common::cp1253ToUtf8(location) + ": ";
    const fs::path place(location);
    if (place.relative_path().empty()) {
        return common::Error{shown +
                             "ο ριζικός φάκελος δεν είναι φάκελος εργασιών· ορίστε τον φάκελο "
                             "ανταλλαγής με το POS"};
    }
    std::error_code error;
    const auto type = fs::status(place, error).type();
    if (type == fs::file_type::not_found) {
        return common::Error{shown + "ο φάκελος δεν υπάρχει"};
    }
    if (type != fs::file_type::directory) {
        return common::Error{shown + (error ? "δεν διαβάζεται (" + error.message() + ")"
                                            : std::string("δεν είναι φάκελος"))};
    }
    if (!location.ends_with('/') && !location.ends_with('\\')) {
        return common::Error{shown + "λείπει το τελικό \"/\"· οι εργασίες αναζητούνται ως " +
                             common::cp1253ToUtf8(location) + "<αρχείο>"};
    }
    return {};
}

}  // namespace

std::vector<common::Error> settingsProblems(const ParamSettings& settings) {
    std::vector<common::Error> problems;
    if (looksForJobs(settings)) {
        if (auto checked = checkLocation(settings.location); !checked) {
            problems.push_back(checked.error());
        }
    }
    const std::string port(common::trim(settings.port));
    if (port.empty() && (settings.linkAddress.empty() || settings.linkAddress.starts_with(':'))) {
        problems.push_back(
            common::Error{"[port]: λείπει από το param.ini· ο Φορολογικός Εκτυπωτής δεν "
                          "μπορεί να βρεθεί"});
    }
    return problems;
}

}  // namespace merovan::settings
