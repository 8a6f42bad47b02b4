#pragma once

#include <string_view>

#include "core/common/message_box.h"

namespace merovan::common {

// What asks the operator something or holds a window open for a wait. Every text is UTF-8.
class Prompts {
  public:
    virtual ~Prompts() = default;

    // Shows a formatted message box and returns the operator's answer (1 for OK). The
    // driver waits for the answer; a headless operator answers at once.
    virtual int showMessage(const MessageBox& box) = 0;
    // The card-payment waiting window, shown while a card terminal is awaited.
    virtual void setCardWaitShown(bool shown) = 0;
    // Start-up failed: let the operator correct param.ini (the settings dialog, not modal).
    virtual void showSettingsDialog() {}
};

// The driver's one message box: pads, titles and shows the text through the prompts.
int showMessageBox(Prompts& prompts, std::string_view text, int buttons,
                   std::string_view title = {});

}  // namespace merovan::common
