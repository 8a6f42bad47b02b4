#include "core/desktop/about_info.h"

#include "core/common/numeric.h"

namespace merovan::desktop {
namespace {

// One number of a dotted version, 0 when it is missing or not a number.
std::string versionPart(std::string_view version, int index) {
    for (int skip = 0; skip < index; ++skip) {
        const auto dot = version.find('.');
        if (dot == std::string_view::npos) {
            return "0";
        }
        version.remove_prefix(dot + 1);
    }
    const auto number = common::parseInteger(version.substr(0, version.find('.')));
    return std::to_string(number.value_or(0));
}

}  // namespace

AboutInfo aboutInfo(std::string_view version) {
    AboutInfo info;
    info.title = "Merovan";
    info.caption = "Σχετικα " + info.title;
    info.version = "Version " + versionPart(version, 0) + "." + versionPart(version, 1) + "." +
                   versionPart(version, 2);
    info.description =
        "Οδηγός φορολογικής ταμειακής μηχανής για εφαρμογές POS.\n"
        "Για υποστήριξη απευθυνθείτε στον προμηθευτή της εφαρμογής σας.";
    info.disclaimer =
        "Προειδοποίηση: το πρόγραμμα αυτό προστατεύεται από τους νόμους περί πνευματικής "
        "ιδιοκτησίας. Απαγορεύεται η χρήση ή η αναδιανομή του χωρίς άδεια.";
    return info;
}

}  // namespace merovan::desktop
