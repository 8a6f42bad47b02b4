#pragma once

#include <string>

namespace merovan::driver {

// Starts the conversion helper of the working directory (cop2fis.sh on POSIX, cop2fis.bat on
// Windows) without waiting for it. False, with the reason in error (UTF-8), when it is missing
// or could not be started; the caller logs that and goes on.
bool startConversionHelper(const std::string& workDir, std::string& error);

}  // namespace merovan::driver
