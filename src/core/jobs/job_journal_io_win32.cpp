#include <windows.h>

#include "core/common/codepage.h"
#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

bool failLastError(std::string& error, const std::string& path) {
    const DWORD code = GetLastError();
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string cause(text, length);
    while (!cause.empty() && (cause.back() == '\r' || cause.back() == '\n')) {
        cause.pop_back();
    }
    error = common::cp1253ToUtf8(path) + ": " +
            (cause.empty() ? "error " + std::to_string(code) : cause);
    return false;
}

class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// A disk file, never a pipe or a device put in the journal's place.
ScopedHandle openRegular(const std::string& path, DWORD access, DWORD disposition,
                         std::string& error) {
    ScopedHandle handle(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        failLastError(error, path);
        return handle;
    }
    if (GetFileType(handle.get()) != FILE_TYPE_DISK) {
        error = common::cp1253ToUtf8(path) + ": not a regular file";
        return ScopedHandle(INVALID_HANDLE_VALUE);
    }
    return handle;
}

bool writeAndFlush(HANDLE handle, const std::string& path, const std::string& text,
                   std::string& error) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !FlushFileBuffers(handle)) {
        return failLastError(error, path);
    }
    return true;
}

}  // namespace

bool appendDurably(const std::string& path, const std::string& text, std::string& error) {
    const ScopedHandle handle = openRegular(path, GENERIC_WRITE, OPEN_ALWAYS, error);
    if (!handle) {
        return false;
    }
    LARGE_INTEGER before{};
    if (!SetFilePointerEx(handle.get(), LARGE_INTEGER{}, &before, FILE_END)) {
        return failLastError(error, path);
    }
    if (!writeAndFlush(handle.get(), path, text, error)) {
        // Cut a torn line off again.
        if (SetFilePointerEx(handle.get(), before, nullptr, FILE_BEGIN)) {
            SetEndOfFile(handle.get());
        }
        return false;
    }
    return true;
}

bool replaceDurably(const std::string& path, const std::string& text, std::string& error) {
    const std::string side = path + ".new";
    {
        const ScopedHandle handle = openRegular(side, GENERIC_WRITE, CREATE_ALWAYS, error);
        if (!handle) {
            return false;
        }
        if (!writeAndFlush(handle.get(), side, text, error)) {
            return false;
        }
    }
    if (!MoveFileExA(side.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return failLastError(error, path);
    }
    return true;
}

bool moveAside(const std::string& from, const std::string& to, std::string& error) {
    if (!MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return failLastError(error, to);
    }
    return true;
}

}  // namespace merovan::jobs
