#pragma once

#include "gui/win32/windows_api.h"

#include "core/common/message_box.h"

namespace merovan::gui::win32 {

// How the program shows a message box and gets its answer; tests answer at once.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows box over owner (none: no owner) and returns the button pressed (1 for OK).
    virtual int show(HWND owner, const common::MessageBox& box) = 0;
};

// The system's message box: the driver's button and icon values are the system's own.
class SystemMessageBoxes final : public MessageBoxes {
  public:
    int show(HWND owner, const common::MessageBox& box) override;
};

}  // namespace merovan::gui::win32
