#pragma once

#include "gui/win32/windows_api.h"

namespace merovan::gui::win32 {

// The DPI at which Windows draws 1 pixel per 15 twips.
inline constexpr int kBaseDpi = 96;

// Lengths of the windows are given in twips (1/1440 inch), as they were designed; on the
// screen they take twips * dpi / 1440 pixels, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : (scaled - 720) / 1440);
}

// A length in pixels at 96 DPI (a font's point size, a margin) at another DPI.
constexpr int scaleToDpi(int pixelsAt96, int dpi) {
    return twipsToPixels(pixelsAt96 * 15, dpi);
}

// The DPI of the monitor a window is on (per-monitor awareness), or the system's where Windows
// cannot tell it per window.
int windowDpi(HWND window);

}  // namespace merovan::gui::win32
