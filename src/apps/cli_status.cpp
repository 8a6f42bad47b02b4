#include "apps/cli_status.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "core/monitoring/status_file.h"

namespace merovan::cli {
namespace {

std::string stateWords(const std::string& state) {
    static constexpr std::pair<std::string_view, std::string_view> kWords[] = {
        {"searching", "Αναζήτηση Φορολογικού Εκτυπωτή"},
        {"ready", "Έτοιμο"},
        {"printing", "Εκτυπώνει"},
        {"stopped", "Διακοπή εκτυπώσεων"},
        {"reporting", "Εκτέλεση ισοζυγίου"},
        {"offline", "Ο Φορολογικός Εκτυπωτής δεν απαντά"},
        {"one-job", "Μία εργασία"},
    };
    for (const auto& [name, words] : kWords) {
        if (name == state) {
            return std::string(words);
        }
    }
    return state;
}

// A field of the status, or its fallback when the driver did not give it in that form.
template <typename T>
T field(const nlohmann::json& object, const char* name, T fallback) {
    const auto found = object.find(name);
    if (found == object.end()) {
        return fallback;
    }
    try {
        return found->get<T>();
    } catch (const nlohmann::json::exception&) {
        return fallback;
    }
}

void printWords(const nlohmann::json& status) {
    const bool online = field(status, "online", false);
    std::printf("Κατάσταση: %s\n", stateWords(field<std::string>(status, "state", "")).c_str());
    std::printf("Φορολογικός Εκτυπωτής: %s\n", online ? "ON-Line" : "Off-Line");
    const nlohmann::json error = field(status, "lastError", nlohmann::json::object());
    const int number = error.is_object() ? field(error, "number", 0) : 0;
    if (number == 0) {
        std::printf("Τελευταίο λάθος: κανένα\n");
    } else {
        std::printf("Τελευταίο λάθος: %d %s\n", number,
                    field<std::string>(error, "text", "").c_str());
    }
    std::printf("Εργασίες σε αναμονή: %lld\n", field<long long>(status, "queueLength", 0));
    std::printf("Εργασίες που τυπώθηκαν: %lld\n", field<long long>(status, "jobsPrinted", 0));
}

}  // namespace

std::optional<nlohmann::json> statusFromFile() {
    return monitoring::readRunningStatus(".");
}

int printStatus(const StatusSource& source, bool json) {
    const auto status = source();
    if (!status) {
        std::fputs("Ο Merovan δεν τρέχει σε αυτόν τον κατάλογο\n", stderr);
        return DriverNotRunning;
    }
    if (json) {
        std::printf("%s\n", monitoring::statusText(*status).c_str());
    } else {
        printWords(*status);
    }
    return field(*status, "online", false) ? RegisterOnline : RegisterOffline;
}

}  // namespace merovan::cli
