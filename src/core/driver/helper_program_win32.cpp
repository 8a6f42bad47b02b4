#include <windows.h>

#include "core/driver/helper_program.h"

namespace merovan::driver {
namespace {

std::string systemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

// Starts a program in dir without waiting for it; false with the reason in error.
bool startDetached(const std::string& dir, std::string commandLine, WORD show, std::string& error) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &startup, &process)) {
        error = systemMessage(GetLastError());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::string directoryOf(const std::string& workDir) {
    return workDir.empty() ? std::string(".") : workDir;
}

}  // namespace

bool startConversionHelper(const std::string& workDir, std::string& error) {
    const std::string dir = directoryOf(workDir);
    if (GetFileAttributesA((dir + "\\cop2fis.bat").c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "cop2fis.bat: " + systemMessage(GetLastError());
        return false;
    }
    // Minimised, so that the helper's console never takes the focus from the POS program.
    if (!startDetached(dir, "cmd.exe /c cop2fis.bat", SW_SHOWMINNOACTIVE, error)) {
        error = "cop2fis.bat: " + error;
        return false;
    }
    return true;
}

bool openHelpText(const std::string& workDir, std::string& error) {
    if (!startDetached(directoryOf(workDir), "notepad merovan.txt", SW_SHOWNORMAL, error)) {
        error = "notepad: " + error;
        return false;
    }
    return true;
}

std::string defaultEndMarker() {
    return "\\merovan\\end.txt";
}

}  // namespace merovan::driver
