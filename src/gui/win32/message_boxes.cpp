#include "gui/win32/message_boxes.h"

#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {

int SystemMessageBoxes::show(HWND owner, const common::MessageBox& box) {
    // The window may sit hidden in the tray: the box comes to the front all the same.
    const int answer = MessageBoxW(owner, toWide(box.text).c_str(), toWide(box.title).c_str(),
                                   static_cast<UINT>(box.buttons) | MB_SETFOREGROUND | MB_TOPMOST);
    // Only a failure to show gives 0: the job goes on as if OK was pressed.
    return answer != 0 ? answer : common::answers::kOk;
}

}  // namespace merovan::gui::win32
