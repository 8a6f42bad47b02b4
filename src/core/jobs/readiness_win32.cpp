#include <windows.h>

#include "core/jobs/readiness.h"

namespace merovan::jobs {
namespace {

// Windows refuses this open while any program of any user holds the file with write access
// or has locked it: the append open shares reading only.
bool canOpenForAppend(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

}  // namespace

bool platformSeesEveryWriter() {
    return true;
}

// Reading while refusing to share writing fails exactly when a handle with write access is
// open, whoever holds it.
bool isOpenForWriting(const std::string& path) {
    if (!canOpenForAppend(path)) {
        return true;
    }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(handle);
    return false;
}

}  // namespace merovan::jobs
