#pragma once

#include <string>
#include <string_view>
#include <vector>

// The strings the Service Control Manager and the event log take (Windows only).
namespace merovan::cli {

// UTF-16 for the system's "W" functions.
std::wstring widened(std::string_view utf8);

// One word of a command line, quoted so that a Windows program splits it back as it was: a
// work directory with blanks, or one that ends in a backslash, stays one argument.
std::wstring quotedArgument(std::wstring_view word);
// The words quoted and joined by blanks: the service's binary path.
std::wstring joinedCommandLine(const std::vector<std::wstring>& words);

}  // namespace merovan::cli
