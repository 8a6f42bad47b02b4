#pragma once

#include "gui/win32/windows_api.h"

#include "gui/win32/dialog_frame.h"
#include "gui/win32/message_boxes.h"

namespace merovan::gui::win32 {

// Draws the about texts. The System Information tool is found as the Qt view finds it; a
// tool that cannot be started is said in a message box.
class AboutBox {
  public:
    explicit AboutBox(MessageBoxes& messages) : messages_(messages) {}
    ~AboutBox();
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    // Makes the window, hidden; false when Windows refused.
    bool create(HWND owner);
    DialogFrame& frame() { return frame_; }

  private:
    void drawIcon();
    void onCommand(int id, int code);

    MessageBoxes& messages_;
    DialogFrame frame_;
    HICON icon_ = nullptr;
};

}  // namespace merovan::gui::win32
