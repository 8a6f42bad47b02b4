#pragma once

// For the Windows back ends only.
#include <windows.h>

#include <string>
#include <utility>

namespace merovan::common {

// A Windows file handle closed on every path out of its scope.
class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~ScopedHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    ScopedHandle(ScopedHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle& operator=(ScopedHandle&&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// The system's words for an error code, without their line end.
inline std::string windowsErrorText(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string cause(text, length);
    while (!cause.empty() && (cause.back() == '\r' || cause.back() == '\n')) {
        cause.pop_back();
    }
    return cause.empty() ? "error " + std::to_string(code) : cause;
}

}  // namespace merovan::common
