#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/common/codepage.h"
#include "core/common/unique_fd.h"
#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

using common::UniqueFd;

bool fail(std::string& error, const std::string& path, const std::string& cause) {
    error = common::cp1253ToUtf8(path) + ": " + cause;
    return false;
}

bool failErrno(std::string& error, const std::string& path, int code) {
    return fail(error, path, std::strerror(code));
}

// A regular file opened without waiting for a FIFO's other end; its size at opening in size.
UniqueFd openRegular(const std::string& path, int flags, off_t& size, std::string& error) {
    UniqueFd fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644));
    if (!fd) {
        failErrno(error, path, errno);
        return fd;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        failErrno(error, path, errno);
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        fail(error, path, "not a regular file");
        return UniqueFd();
    }
    size = info.st_size;
    return fd;
}

bool writeAndSync(int fd, const std::string& path, const std::string& text, std::string& error) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return failErrno(error, path, n < 0 ? errno : ENOSPC);
        }
        written += static_cast<std::size_t>(n);
    }
    return ::fdatasync(fd) == 0 || failErrno(error, path, errno);
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new name in a directory is durable only once the directory itself is synced.
bool syncDirectoryOf(const std::string& path, std::string& error) {
    const std::string dir = directoryOf(path);
    const UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd || ::fsync(fd.get()) != 0) {
        return failErrno(error, dir, errno);
    }
    return true;
}

}  // namespace

bool appendDurably(const std::string& path, const std::string& text, std::string& error) {
    off_t before = 0;
    const UniqueFd fd = openRegular(path, O_WRONLY | O_APPEND | O_CREAT, before, error);
    if (!fd) {
        return false;
    }
    if (!writeAndSync(fd.get(), path, text, error)) {
        if (::ftruncate(fd.get(), before) == 0) {
            ::fdatasync(fd.get());
        }
        return false;
    }
    return before != 0 || syncDirectoryOf(path, error);
}

bool replaceDurably(const std::string& path, const std::string& text, std::string& error) {
    const std::string side = path + ".new";
    {
        off_t ignored = 0;
        const UniqueFd fd =
            openRegular(side, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, ignored, error);
        if (!fd) {
            return false;
        }
        if (!writeAndSync(fd.get(), side, text, error)) {
            ::unlink(side.c_str());
            return false;
        }
    }
    if (std::rename(side.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(side.c_str());
        return failErrno(error, path, code);
    }
    return syncDirectoryOf(path, error);
}

bool moveAside(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return failErrno(error, to, errno);
    }
    return syncDirectoryOf(to, error);
}

}  // namespace merovan::jobs
