#pragma once

#include <string>
#include <string_view>

namespace merovan::desktop {

// What the about box shows.
struct AboutInfo {
    std::string caption;  // "Σχετικα " + the title
    std::string title;
    std::string version;  // "Version " + major.minor.revision, each in decimal
    std::string description;
    std::string disclaimer;
};

inline constexpr const char* kSystemInformationUnavailable =
    "System Information Is Unavailable At This Time";

// The about box of this build (version as CMake gives it, "4.0.0").
AboutInfo aboutInfo(std::string_view version = MEROVAN_VERSION);

}  // namespace merovan::desktop
