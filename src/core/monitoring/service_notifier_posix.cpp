#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "core/common/unique_fd.h"
#include "core/monitoring/service_notifier.h"

namespace merovan::monitoring {

long long currentProcessId() {
    return ::getpid();
}

// Written out rather than taken from a library: the protocol is one datagram, and the service
// then links nothing of the service manager's.
bool ServiceNotifier::send(const std::string& message) const {
    if (socketName_.empty()) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketName_.size() >= sizeof address.sun_path ||
        (socketName_[0] != '/' && socketName_[0] != '@')) {
        return false;
    }
    std::memcpy(address.sun_path, socketName_.data(), socketName_.size());
    if (socketName_[0] == '@') {
        address.sun_path[0] = '\0';
    }
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socketName_.size());
    const common::UniqueFd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd) {
        return false;
    }
    return ::sendto(fd.get(), message.data(), message.size(), MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr*>(&address),
                    length) == static_cast<ssize_t>(message.size());
}

}  // namespace merovan::monitoring
