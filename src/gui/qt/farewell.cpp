#include "gui/qt/farewell.h"

#include "core/desktop/desktop_start.h"

namespace merovan::gui {

int showFarewell(MessageBoxes& messages) {
    return desktop::sayFarewell(
        [&messages](const common::MessageBox& box) { messages.show(nullptr, box); });
}

}  // namespace merovan::gui
