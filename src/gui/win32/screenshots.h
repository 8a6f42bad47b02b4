#pragma once

#include <filesystem>

namespace merovan::gui::win32 {

// Renders the main window in each of its states, the tray menu and (through the dialogs'
// own function) every other window off-line into dir, one PNG each, and prints each file's
// name. The states are drawn from the presenter as the driver would set them, so no register
// is needed. Returns the program's exit status.
int takeScreenshots(const std::filesystem::path& dir);

}  // namespace merovan::gui::win32
