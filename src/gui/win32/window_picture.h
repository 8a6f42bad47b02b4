#pragma once

#include "gui/win32/windows_api.h"

#include <filesystem>
#include <string>

namespace merovan::gui::win32 {

// Writes the picture of a window (frame, menu and controls) to file: a PNG when its name ends
// in ".png", a 24-bit BMP otherwise. A shown window is copied from its own device context (it
// must not be covered); a hidden one is drawn off-line with PrintWindow, which under Wine
// draws its background only.
// Returns an empty string, or what went wrong in plain words.
std::string saveWindowPicture(HWND window, const std::filesystem::path& file);

}  // namespace merovan::gui::win32
