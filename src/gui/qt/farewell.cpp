#include "gui/qt/farewell.h"

#include "core/common/codepage.h"
#include "core/driver/driver.h"
#include "core/settings/command_line.h"

namespace merovan::gui {

int showFarewell(MessageBoxes& messages) {
    const std::string text = common::cp737ToUtf8(settings::farewellText());
    messages.show(
        nullptr, common::formatMessageBox(text, common::buttons::kInformation, std::string_view()));
    return driver::OptionsTooShort;
}

}  // namespace merovan::gui
