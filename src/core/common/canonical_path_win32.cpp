#include <windows.h>

#include <string_view>

#include "core/common/canonical_path.h"

namespace merovan::common {
namespace {

// The final path of an existing file or directory, with its links and case as the volume
// keeps them; empty when it cannot be opened.
std::string finalPath(const std::string& path) {
    const HANDLE handle = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer,
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof buffer) {
        return {};
    }
    std::string_view text(buffer, length);
    if (text.starts_with("\\\\?\\UNC\\")) {
        return "\\\\" + std::string(text.substr(8));
    }
    if (text.starts_with("\\\\?\\")) {
        text.remove_prefix(4);
    }
    return std::string(text);
}

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

}  // namespace

std::string canonicalPath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    if (auto whole = finalPath(path); !whole.empty()) {
        return whole;
    }
    const std::string full = fullPath(path);
    const auto slash = full.find_last_of("\\/");
    if (slash == std::string::npos) {
        return {};
    }
    const std::string dir = finalPath(full.substr(0, slash + 1));
    if (dir.empty()) {
        return full;
    }
    return dir.ends_with('\\') ? dir + full.substr(slash + 1) : dir + "\\" + full.substr(slash + 1);
}

}  // namespace merovan::common
