#include <windows.h>

#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

bool writeAll(HANDLE handle, const std::string& text) {
    DWORD written = 0;
    const bool ok =
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && FlushFileBuffers(handle);
    CloseHandle(handle);
    return ok;
}

}  // namespace

bool appendDurably(const std::string& path, const std::string& text) {
    HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle != INVALID_HANDLE_VALUE && writeAll(handle, text);
}

std::optional<std::int64_t> lastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    // Counted in 100 ns steps.
    const auto ticks = (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime;
    return ticks * 100;
}

bool replaceDurably(const std::string& path, const std::string& text) {
    const std::string side = path + ".new";
    HANDLE handle = CreateFileA(side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE || !writeAll(handle, text)) {
        return false;
    }
    return MoveFileExA(side.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace merovan::jobs
