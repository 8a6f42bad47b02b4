#pragma once

#include <string>
#include <string_view>

namespace merovan::gui::win32 {

// Texts are UTF-8 inside the program; the Windows API takes UTF-16. These are the only
// conversions between the two. A byte sequence that is not UTF-8 becomes U+FFFD, one for each
// bad sequence, and the text around it is kept.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace merovan::gui::win32
