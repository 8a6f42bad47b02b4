#pragma once

#include <string>

namespace merovan::common {

// The operating system's own words for an error code (errno on POSIX; GetLastError or
// WSAGetLastError on Windows), UTF-8, without a trailing line break.
std::string osErrorText(long code);

}  // namespace merovan::common
