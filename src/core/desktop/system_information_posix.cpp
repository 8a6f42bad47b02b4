#include "core/desktop/system_information.h"

namespace merovan::desktop {

// The System Information tool belongs to Windows; other desktops have no counterpart that
// could be found the same way.
bool startSystemInformationTool() {
    return false;
}

}  // namespace merovan::desktop
