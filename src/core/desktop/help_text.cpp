#include "core/desktop/help_text.h"

#include <filesystem>

namespace merovan::desktop {

std::optional<std::string> findHelpText(const std::vector<std::string>& places) {
    for (const auto& place : places) {
        std::error_code error;
        if (std::filesystem::is_regular_file(place, error)) {
            return place;
        }
    }
    return std::nullopt;
}

std::string helpTextMissing(const std::vector<std::string>& places) {
    std::string text = std::string("Το αρχείο βοήθειας ") + kHelpTextName + " δεν βρέθηκε:";
    for (const auto& place : places) {
        text += "\n" + place;
    }
    return text;
}

}  // namespace merovan::desktop
