#include <windows.h>

#include "core/common/os_error.h"
#include "core/common/win32_handle.h"
#include "core/monitoring/status_lock.h"

namespace merovan::monitoring {
namespace {

class Win32StatusLock final : public StatusLock {
  public:
    explicit Win32StatusLock(common::ScopedHandle handle) : handle_(std::move(handle)) {}

  private:
    common::ScopedHandle handle_;
};

// The lock is the open file itself: it is opened sharing reading only, so no second driver
// opens it for writing while this one runs.
HANDLE openLockFile(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::unique_ptr<StatusLock> StatusLock::take(const std::string& path, std::string& why) {
    common::ScopedHandle handle(openLockFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS));
    if (!handle) {
        why = path + ": " + common::osErrorText(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32StatusLock>(std::move(handle));
}

bool StatusLock::isHeld(const std::string& path) {
    const common::ScopedHandle handle(
        openLockFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
    return !handle && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace merovan::monitoring
