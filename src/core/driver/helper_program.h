#pragma once

#include <string>

#include "core/common/result.h"

namespace merovan::driver {

// Starts the conversion helper of the working directory (cop2fis.sh on POSIX, cop2fis.bat on
// Windows, there minimised) without waiting for it. An error when it is missing or could not
// be started; the caller logs that and goes on.
common::Result<void> startConversionHelper(const std::string& workDir);

// Opens the help text merovan.txt of the working directory in the desktop's text viewer
// (Notepad on Windows) without waiting for it. An error when the viewer could not be started.
common::Result<void> openHelpText(const std::string& workDir);

// The end marker deleted before every job: the folder "merovan" at the root of the current
// drive on Windows, /merovan on POSIX.
std::string defaultEndMarker();

}  // namespace merovan::driver
