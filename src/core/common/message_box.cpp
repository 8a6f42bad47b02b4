#include "core/common/message_box.h"

#include "core/common/codepage.h"

namespace merovan::common {

MessageBox formatMessageBox(std::string_view text, int buttonsValue, std::string_view title) {
    MessageBox box;
    const std::size_t length = utf8Length(text);
    if (length < kMessagePadWidth) {
        box.text.assign(kMessagePadWidth - length, ' ');
    }
    box.text.append(text);
    box.title = title.empty() ? std::string(kDefaultMessageTitle) : std::string(title);
    box.buttons = buttonsValue + buttons::kSystemModal;
    return box;
}

}  // namespace merovan::common
