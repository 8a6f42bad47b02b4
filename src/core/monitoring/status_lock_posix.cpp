#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "core/common/os_error.h"
#include "core/common/unique_fd.h"
#include "core/monitoring/status_lock.h"

namespace merovan::monitoring {
namespace {

class PosixStatusLock final : public StatusLock {
  public:
    explicit PosixStatusLock(common::UniqueFd fd) : fd_(std::move(fd)) {}

  private:
    common::UniqueFd fd_;
};

}  // namespace

std::unique_ptr<StatusLock> StatusLock::take(const std::string& path, std::string& why) {
    common::UniqueFd fd(
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644));
    if (!fd) {
        why = path + ": " + common::osErrorText(errno);
        return nullptr;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        why = path + ": " +
              (errno == EWOULDBLOCK ? std::string("another driver runs in this directory")
                                    : std::string(common::osErrorText(errno)));
        return nullptr;
    }
    return std::make_unique<PosixStatusLock>(std::move(fd));
}

bool StatusLock::isHeld(const std::string& path) {
    const common::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd) {
        return false;
    }
    // A shared lock is refused only while the driver holds its exclusive one; it is let go
    // with the descriptor.
    return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

}  // namespace merovan::monitoring
