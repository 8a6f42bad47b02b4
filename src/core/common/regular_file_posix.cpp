#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/common/regular_file.h"
#include "core/common/unique_fd.h"

namespace merovan::common {
namespace {

void fail(FileError* error, const std::string& path, const std::string& cause, bool missing) {
    if (error != nullptr) {
        *error = FileError{path + ": " + cause, missing};
    }
}

void failErrno(FileError* error, const std::string& path, int code) {
    fail(error, path, std::strerror(code), code == ENOENT);
}

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// The stat of an open handle, when it is a regular file.
std::optional<FileStamp> stampOfOpenFile(int fd, const std::string& path, FileError* error) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        failErrno(error, path, errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        fail(error, path, "not a regular file", false);
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.changeTimeNs = nanoseconds(info.st_ctim);
    stamp.writeTimeNs = nanoseconds(info.st_mtim);
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    return stamp;
}

// O_NONBLOCK keeps open() from waiting for a FIFO's other end; the flag is dropped again for
// a regular file, where it means nothing anyway.
UniqueFd openWithoutBlocking(const std::string& path, int flags, FileError* error) {
    UniqueFd fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644));
    if (!fd) {
        failErrno(error, path, errno);
    }
    return fd;
}

}  // namespace

bool readRegularFileInPieces(const std::string& path,
                             const std::function<bool(std::string_view piece)>& take,
                             FileStamp* stamp, FileError* error) {
    const UniqueFd fd = openWithoutBlocking(path, O_RDONLY, error);
    if (!fd) {
        return false;
    }
    const auto opened = stampOfOpenFile(fd.get(), path, error);
    if (!opened) {
        return false;
    }
    if (stamp != nullptr) {
        *stamp = *opened;
    }
    std::string buffer(64 * 1024, '\0');
    while (true) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            failErrno(error, path, errno);
            return false;
        }
        if (got == 0 || !take(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            return true;
        }
    }
}

std::optional<FileStamp> regularFileStamp(const std::string& path, FileError* error) {
    const UniqueFd fd = openWithoutBlocking(path, O_RDONLY, error);
    if (!fd) {
        return std::nullopt;
    }
    return stampOfOpenFile(fd.get(), path, error);
}

bool appendToRegularFile(const std::string& path, const std::string& bytes, FileError* error) {
    if (path.empty()) {
        fail(error, path, "no file name", true);
        return false;
    }
    const UniqueFd fd = openWithoutBlocking(path, O_WRONLY | O_APPEND | O_CREAT, error);
    if (!fd || !stampOfOpenFile(fd.get(), path, error)) {
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failErrno(error, path, n < 0 ? errno : ENOSPC);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace merovan::common
