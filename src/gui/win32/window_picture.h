#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace merovan::gui::win32 {

// Draws a window (frame, menu and controls) off-line with PrintWindow and writes the picture
// to file: a PNG when its name ends in ".png", a 24-bit BMP otherwise. The window need not be
// on the screen, but must have been laid out.
// Returns an empty string, or what went wrong in plain words.
std::string saveWindowPicture(HWND window, const std::filesystem::path& file);

}  // namespace merovan::gui::win32
