#include <windows.h>

#include <string>

#include "core/desktop/system_information.h"

namespace merovan::desktop {
namespace {

// A string value under HKEY_LOCAL_MACHINE, or nothing when the key or value cannot be read.
bool keyValue(const char* keyName, const char* valueName, std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    const LONG status =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return false;
    }
    value.assign(buffer, size);
    while (!value.empty() && value.back() == '\0') {
        value.pop_back();
    }
    return true;
}

bool startProgram(const std::string& path) {
    return reinterpret_cast<INT_PTR>(
               ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

}  // namespace

bool startSystemInformationTool() {
    std::string path;
    if (keyValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path)) {
        return startProgram(path);
    }
    if (keyValue("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", path)) {
        const std::string program = path + "\\MSINFO32.EXE";
        if (GetFileAttributesA(program.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return startProgram(program);
        }
    }
    return false;
}

}  // namespace merovan::desktop
