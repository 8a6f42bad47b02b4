#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <mutex>
#include <optional>
#include <thread>

#include "core/driver/dir_watch.h"

namespace merovan::driver {

namespace {

// One event may carry several bits; the one that matters most for a job's readiness wins.
std::optional<jobs::FileEvent> eventOf(std::uint32_t mask) {
    if ((mask & IN_Q_OVERFLOW) != 0) {
        return jobs::FileEvent::Lost;
    }
    if ((mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
        return jobs::FileEvent::Gone;
    }
    if ((mask & IN_CLOSE_WRITE) != 0) {
        return jobs::FileEvent::Closed;
    }
    if ((mask & IN_MOVED_TO) != 0) {
        return jobs::FileEvent::MovedIn;
    }
    if ((mask & IN_MODIFY) != 0) {
        return jobs::FileEvent::Written;
    }
    if ((mask & IN_ATTRIB) != 0) {
        return jobs::FileEvent::Touched;
    }
    return std::nullopt;
}

}  // namespace

struct DirWatch::Impl {
    Callback callback;
    int inotifyFd = -1;
    int stopFd = -1;
    int watchId = -1;
    std::mutex mutex;
    std::thread thread;

    void run() {
        alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
        pollfd fds[2] = {{inotifyFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        while (true) {
            if (::poll(fds, 2, -1) < 0) {
                continue;
            }
            if ((fds[1].revents & POLLIN) != 0) {
                return;
            }
            const ssize_t length = read(inotifyFd, buffer, sizeof buffer);
            for (ssize_t offset = 0; length > 0 && offset < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
                const auto kind = eventOf(event->mask);
                if (kind && (event->len > 0 || *kind == jobs::FileEvent::Lost)) {
                    callback(event->len > 0 ? event->name : "", *kind);
                }
                offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }
};

DirWatch::DirWatch(Callback callback) : impl_(std::make_unique<Impl>()) {
    impl_->callback = std::move(callback);
    impl_->inotifyFd = inotify_init1(IN_CLOEXEC);
    impl_->stopFd = eventfd(0, EFD_CLOEXEC);
    if (impl_->inotifyFd >= 0 && impl_->stopFd >= 0) {
        impl_->thread = std::thread([impl = impl_.get()] { impl->run(); });
    }
}

DirWatch::~DirWatch() {
    if (impl_->thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = write(impl_->stopFd, &one, sizeof one);
        impl_->thread.join();
    }
    for (int fd : {impl_->inotifyFd, impl_->stopFd}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool DirWatch::watch(const std::string& directory) {
    if (watching_ && directory == directory_) {
        return true;
    }
    std::lock_guard lock(impl_->mutex);
    if (impl_->watchId >= 0) {
        inotify_rm_watch(impl_->inotifyFd, impl_->watchId);
        impl_->watchId = -1;
    }
    directory_ = directory;
    const std::string path = directory.empty() ? "." : directory;
    // A job counts as written when its writer closes it, or when it is renamed into place; a
    // write without a close since means somebody is still writing it.
    impl_->watchId = impl_->inotifyFd < 0
                         ? -1
                         : inotify_add_watch(impl_->inotifyFd, path.c_str(),
                                             IN_CLOSE_WRITE | IN_MOVED_TO | IN_ATTRIB | IN_MODIFY |
                                                 IN_DELETE | IN_MOVED_FROM);
    watching_ = impl_->watchId >= 0;
    // Whatever was known belonged to the directory watched before, or came before the watch.
    if (impl_->callback) {
        impl_->callback("", jobs::FileEvent::Lost);
    }
    return watching_;
}

}  // namespace merovan::driver
