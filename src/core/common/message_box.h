#pragma once

#include <string>
#include <string_view>

// On Windows, <windows.h> turns the name MessageBox into MessageBoxW by a macro, which would
// rename the type below in some files and not in others.
#ifdef MessageBox
#undef MessageBox
#endif

namespace merovan::common {

// Button and icon values of the driver's message box, as a platform's message box takes them.
namespace buttons {
inline constexpr int kOk = 0;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kSystemModal = 4096;
}  // namespace buttons

// Answers a message box can give.
namespace answers {
inline constexpr int kOk = 1;
}

inline constexpr std::string_view kDefaultMessageTitle = "Merovan4_KVT";
inline constexpr std::size_t kMessagePadWidth = 40;

// A message box ready to show: UTF-8 text padded as the driver shows it, its title and buttons.
struct MessageBox {
    std::string text;
    int buttons = 0;
    std::string title;
};

// Pads a text shorter than 40 characters (counted as characters, not bytes) with leading
// blanks up to 40, gives an empty title the default, and makes the box system-modal.
MessageBox formatMessageBox(std::string_view text, int buttons, std::string_view title);

}  // namespace merovan::common
