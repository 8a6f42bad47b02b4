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

// Starts a program in dir without waiting for it.
common::Result<void> startDetached(const std::string& dir, std::string commandLine, WORD show) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &startup, &process)) {
        return common::Error{systemMessage(GetLastError())};
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

std::string directoryOf(const std::string& workDir) {
    return workDir.empty() ? std::string(".") : workDir;
}

}  // namespace

common::Result<void> startConversionHelper(const std::string& workDir) {
    const std::string dir = directoryOf(workDir);
    if (GetFileAttributesA((dir + "\\cop2fis.bat").c_str()) == INVALID_FILE_ATTRIBUTES) {
        return common::Error{"cop2fis.bat: " + systemMessage(GetLastError())};
    }
    // Minimised, so that the helper's console never takes the focus from the POS program.
    if (auto started = startDetached(dir, "cmd.exe /c cop2fis.bat", SW_SHOWMINNOACTIVE); !started) {
        return common::Error{"cop2fis.bat: " + started.error().what};
    }
    return {};
}

common::Result<void> openHelpText(const std::string& workDir) {
    if (auto started = startDetached(directoryOf(workDir), "notepad merovan.txt", SW_SHOWNORMAL);
        !started) {
        return common::Error{"notepad: " + started.error().what};
    }
    return {};
}

std::string defaultEndMarker() {
    return "\\merovan\\end.txt";
}

}  // namespace merovan::driver
