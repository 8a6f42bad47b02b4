#pragma once

#include <optional>
#include <string>
#include <vector>

namespace merovan::desktop {

inline constexpr const char* kHelpTextName = "merovan.txt";

// The first of the places that holds the help text (the working directory first, then beside
// the program, then where the package puts it).
std::optional<std::string> findHelpText(const std::vector<std::string>& places);

// What the operator is told when none of the places holds it.
std::string helpTextMissing(const std::vector<std::string>& places);

}  // namespace merovan::desktop
