#include <windows.h>

#include "core/driver/helper_program.h"

namespace merovan::driver {

bool startConversionHelper(const std::string& workDir, std::string& error) {
    const std::string script = (workDir.empty() ? std::string(".") : workDir) + "\\cop2fis.bat";
    if (GetFileAttributesA(script.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "cop2fis.bat: not found";
        return false;
    }
    std::string commandLine = "cmd.exe /c \"" + script + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        error = "cop2fis.bat: could not be started";
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace merovan::driver
