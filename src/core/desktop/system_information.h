#pragma once

namespace merovan::desktop {

// Starts the operating system's System Information tool; false when there is none to start.
bool startSystemInformationTool();

}  // namespace merovan::desktop
