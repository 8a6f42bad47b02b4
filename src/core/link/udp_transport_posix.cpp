#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "core/common/codepage.h"
#include "core/common/os_error.h"
#include "core/link/transport_line.h"
#include "core/link/transport_texts.h"
#include "core/link/udp_transport.h"

namespace merovan::link {

struct UdpTransport::Socket {
    explicit Socket(int descriptor) : fd(descriptor) {}
    ~Socket() {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd;
};

namespace {

bool toAddress(const std::string& text, std::int32_t port, sockaddr_in& address) {
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (text.empty()) {
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        return true;
    }
    return ::inet_pton(AF_INET, text.c_str(), &address.sin_addr) == 1;
}

}  // namespace

UdpTransport::UdpTransport() = default;

UdpTransport::~UdpTransport() = default;

std::intptr_t UdpTransport::socketHandle() const {
    return socket_ ? socket_->fd : 0;
}

TransportResult UdpTransport::openConnection() {
    if (socket_) {
        return {};
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        return {TransportError::SocketUnavailable,
                texts::udpSocketFailed(common::osErrorText(errno))};
    }
    auto socket = std::make_unique<Socket>(fd);
    const bool portValid = remotePort_ >= 1 && remotePort_ <= 65535;
    sockaddr_in local{};
    if (!toAddress(bindAddress_, portValid ? remotePort_ : 0, local) ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return {TransportError::LocalPortTaken,
                texts::udpBindFailed(localEndpoint(), common::osErrorText(errno))};
    }
    sockaddr_in remote{};
    if (!portValid || !toAddress(remoteHostIP_, remotePort_, remote) || remoteHostIP_.empty()) {
        return {TransportError::AddressInvalid,
                texts::udpAddressInvalid(common::cp1253ToUtf8(remoteHostIP_),
                                         std::to_string(remotePort_))};
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        return {TransportError::ConnectFailed,
                texts::udpConnectFailed(remoteEndpoint(), common::osErrorText(errno))};
    }
    socket_ = std::move(socket);
    return {};
}

// An error that a socket reports for an earlier datagram (nobody listens there, the way is
// closed) leaves the socket usable; any other means it is gone.
TransportResult UdpTransport::socketError(int error) {
    if (error == ECONNREFUSED || error == EHOSTUNREACH || error == ENETUNREACH ||
        error == EHOSTDOWN) {
        return {TransportError::NoListener,
                texts::udpNoListener(remoteEndpoint(), common::osErrorText(error))};
    }
    socket_.reset();
    return {TransportError::Gone,
            texts::udpSocketLost(remoteEndpoint(), common::osErrorText(error))};
}

TransportResult UdpTransport::sendData(const std::string& text) {
    if (!socket_) {
        return closedSocket();
    }
    const std::string datagram = withLineTerminator(text);
    ssize_t sent = -1;
    do {
        sent = ::send(socket_->fd, datagram.data(), datagram.size(), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent < 0 ? socketError(errno) : TransportResult{};
}

Received UdpTransport::receiveData(std::chrono::milliseconds maxWait) {
    if (!socket_) {
        // Nothing can arrive; waiting out the allowed time keeps the caller's loop calm.
        std::this_thread::sleep_for(maxWait);
        return {{}, closedSocket()};
    }
    pollfd ready{socket_->fd, POLLIN, 0};
    int count = 0;
    do {
        count = ::poll(&ready, 1, static_cast<int>(std::max<long long>(0, maxWait.count())));
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        return {{}, socketError(errno)};
    }
    if (count == 0) {
        return {};
    }
    std::vector<char> buffer(kMaxDatagram);
    const auto got = ::recv(socket_->fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
            return {};
        }
        return {{}, socketError(errno)};
    }
    return {std::string(buffer.data(), static_cast<std::size_t>(got)), {}};
}

void UdpTransport::shutdownConnection() {
    socket_.reset();
}

}  // namespace merovan::link
