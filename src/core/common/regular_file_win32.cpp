#include <windows.h>

#include "core/common/regular_file.h"

namespace merovan::common {
namespace {

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

void fail(FileError* error, const std::string& path, const std::string& cause, bool missing) {
    if (error != nullptr) {
        *error = FileError{path + ": " + cause, missing};
    }
}

void failLastError(FileError* error, const std::string& path) {
    const DWORD code = GetLastError();
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string cause(text, length);
    while (!cause.empty() && (cause.back() == '\r' || cause.back() == '\n')) {
        cause.pop_back();
    }
    fail(error, path, cause.empty() ? "error " + std::to_string(code) : cause,
         code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND);
}

std::int64_t fileTime(LARGE_INTEGER time) {
    return time.QuadPart * 100;
}

ScopedHandle openShared(const std::string& path, DWORD access, DWORD disposition,
                        FileError* error) {
    ScopedHandle handle(CreateFileA(path.c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        failLastError(error, path);
    }
    return handle;
}

std::optional<FileStamp> stampOfOpenFile(HANDLE handle, const std::string& path, FileError* error) {
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        fail(error, path, "not a regular file", false);
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandle(handle, &info) ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
        failLastError(error, path);
        return std::nullopt;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        fail(error, path, "not a regular file", false);
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.changeTimeNs = fileTime(basic.ChangeTime);
    stamp.writeTimeNs = fileTime(basic.LastWriteTime);
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return stamp;
}

}  // namespace

bool readRegularFileInPieces(const std::string& path,
                             const std::function<bool(std::string_view piece)>& take,
                             FileStamp* stamp, FileError* error) {
    const ScopedHandle handle = openShared(path, GENERIC_READ, OPEN_EXISTING, error);
    if (!handle) {
        return false;
    }
    const auto opened = stampOfOpenFile(handle.get(), path, error);
    if (!opened) {
        return false;
    }
    if (stamp != nullptr) {
        *stamp = *opened;
    }
    std::string buffer(64 * 1024, '\0');
    while (true) {
        DWORD got = 0;
        if (!ReadFile(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                      nullptr)) {
            failLastError(error, path);
            return false;
        }
        if (got == 0 || !take(std::string_view(buffer.data(), got))) {
            return true;
        }
    }
}

std::optional<FileStamp> regularFileStamp(const std::string& path, FileError* error) {
    const ScopedHandle handle = openShared(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING, error);
    if (!handle) {
        return std::nullopt;
    }
    return stampOfOpenFile(handle.get(), path, error);
}

bool appendToRegularFile(const std::string& path, const std::string& bytes, FileError* error) {
    if (path.empty()) {
        fail(error, path, "no file name", true);
        return false;
    }
    const ScopedHandle handle = openShared(path, FILE_APPEND_DATA, OPEN_ALWAYS, error);
    if (!handle || !stampOfOpenFile(handle.get(), path, error)) {
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size()) {
        failLastError(error, path);
        return false;
    }
    return true;
}

}  // namespace merovan::common
