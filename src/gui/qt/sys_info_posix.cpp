#include "gui/qt/sys_info.h"

namespace merovan::gui {

// The System Information tool belongs to Windows; other desktops have no counterpart that
// could be found the same way.
bool startSystemInformationTool() {
    return false;
}

}  // namespace merovan::gui
