#pragma once

#include <string>

namespace merovan::common {

// The user's decimal separator from the operating system's locale settings, cut at the first
// NUL and trimmed; "." when the locale says nothing. Read it once at start-up and hand the
// value on, so that tests can give either separator.
std::string localeDecimalSeparator();

}  // namespace merovan::common
