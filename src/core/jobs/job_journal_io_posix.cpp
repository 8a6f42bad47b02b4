#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

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

}  // namespace

bool appendDurably(const std::string& path, const std::string& text) {
    const Fd fd(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
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
        const Fd fd(open(side.c_str(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, 0644));
        if (fd.get() < 0 || !writeAll(fd.get(), text)) {
            return false;
        }
    }
    return std::rename(side.c_str(), path.c_str()) == 0;
}

}  // namespace merovan::jobs
