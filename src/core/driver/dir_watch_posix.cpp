#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <mutex>
#include <thread>

#include "core/driver/dir_watch.h"

namespace merovan::driver {

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
                if (event->len > 0) {
                    callback(event->name);
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
    // A job counts as written when its writer closes it, or when it is renamed into place.
    impl_->watchId = impl_->inotifyFd < 0
                         ? -1
                         : inotify_add_watch(impl_->inotifyFd, path.c_str(),
                                             IN_CLOSE_WRITE | IN_MOVED_TO | IN_ATTRIB);
    watching_ = impl_->watchId >= 0;
    return watching_;
}

}  // namespace merovan::driver
