#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/common/unique_fd.h"
#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

using Fd = common::UniqueFd;

bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return fdatasync(fd) == 0;
}

// Non-blocking, and only a regular file: a FIFO or a device in the journal's place must not
// hang the driver or swallow its records.
Fd openRegularForWriting(const std::string& path, int flags) {
    Fd fd(open(path.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644));
    struct stat info {};
    if (fd.get() >= 0 && (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
        return Fd(-1);
    }
    return fd;
}

}  // namespace

bool appendDurably(const std::string& path, const std::string& text) {
    const Fd fd = openRegularForWriting(path, O_APPEND);
    return fd.get() >= 0 && writeAll(fd.get(), text);
}

std::optional<std::int64_t> lastWriteTime(const std::string& path) {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

bool replaceDurably(const std::string& path, const std::string& text) {
    const std::string side = path + ".new";
    {
        const Fd fd = openRegularForWriting(side, O_TRUNC);
        if (fd.get() < 0 || !writeAll(fd.get(), text)) {
            return false;
        }
    }
    return std::rename(side.c_str(), path.c_str()) == 0;
}

}  // namespace merovan::jobs
