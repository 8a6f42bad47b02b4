#include "gui/win32/window_icon.h"

namespace merovan::gui::win32 {

HICON windowIcon(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    return icon != nullptr ? icon : reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
}

void takeOwnerIcon(HWND window, HWND owner) {
    if (HICON icon = windowIcon(owner)) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

}  // namespace merovan::gui::win32
