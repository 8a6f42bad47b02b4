#pragma once

#include "gui/win32/windows_api.h"

namespace merovan::gui::win32 {

// The icon a window shows in its frame (the program's), none when it has none.
HICON windowIcon(HWND window);

// Gives window the icon of owner, as the windows the main window opens show it.
void takeOwnerIcon(HWND window, HWND owner);

}  // namespace merovan::gui::win32
