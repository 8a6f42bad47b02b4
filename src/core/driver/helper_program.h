#pragma once

#include <string>

namespace merovan::driver {

// Starts the conversion helper of the working directory (cop2fis.sh on POSIX, cop2fis.bat on
// Windows, there minimised) without waiting for it. False, with the reason in error (UTF-8),
// when it is missing or could not be started; the caller logs that and goes on.
bool startConversionHelper(const std::string& workDir, std::string& error);

// Opens the help text merovan.txt of the working directory in the desktop's text viewer
// (Notepad on Windows) without waiting for it. False, with the reason in error, when the
// viewer could not be started.
bool openHelpText(const std::string& workDir, std::string& error);

// The end marker deleted before every job: the folder "merovan" at the root of the current
// drive on Windows, /merovan on POSIX.
std::string defaultEndMarker();

}  // namespace merovan::driver
