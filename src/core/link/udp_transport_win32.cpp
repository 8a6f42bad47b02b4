#include <winsock.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "core/common/codepage.h"
#include "core/common/os_error.h"
#include "core/link/transport_line.h"
#include "core/link/transport_texts.h"
#include "core/link/udp_transport.h"

namespace merovan::link {

// The socket library, started for the life of one socket (Windows Sockets 1.1 is all the
// link needs), and the socket itself; both are released on every path.
struct UdpTransport::Socket {
    Socket() = default;
    ~Socket() {
        if (handle != INVALID_SOCKET) {
            ::shutdown(handle, 2);
            ::closesocket(handle);
        }
        if (started) {
            WSACleanup();
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    WSADATA library{};
    bool started = false;
    SOCKET handle = INVALID_SOCKET;
};

namespace {

// An address of dotted text; empty text is every local address. inet_addr answers
// INADDR_NONE for text it cannot read, which is also the value of 255.255.255.255, a
// broadcast address no register has.
bool toAddress(const std::string& text, std::int32_t port, sockaddr_in& address) {
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    if (text.empty()) {
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        return true;
    }
    address.sin_addr.s_addr = ::inet_addr(text.c_str());
    return address.sin_addr.s_addr != INADDR_NONE;
}

}  // namespace

UdpTransport::UdpTransport() = default;

UdpTransport::~UdpTransport() = default;

std::intptr_t UdpTransport::socketHandle() const {
    return socket_ ? static_cast<std::intptr_t>(socket_->handle) : 0;
}

TransportResult UdpTransport::openConnection() {
    if (socket_) {
        return {};
    }
    auto socket = std::make_unique<Socket>();
    if (const int started = WSAStartup(MAKEWORD(1, 1), &socket->library); started != 0) {
        return {TransportError::SocketUnavailable,
                texts::udpSocketFailed(common::osErrorText(started))};
    }
    socket->started = true;
    socket->handle = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket->handle == INVALID_SOCKET) {
        return {TransportError::SocketUnavailable,
                texts::udpSocketFailed(common::osErrorText(WSAGetLastError()))};
    }
    // No other program may bind the port beside this one, not even with SO_REUSEADDR: the
    // desktop program and the service must never share a register.
    const BOOL exclusive = TRUE;
    constexpr int kExclusiveAddressUse = ~SO_REUSEADDR;  // winsock2.h's SO_EXCLUSIVEADDRUSE
    setsockopt(socket->handle, SOL_SOCKET, kExclusiveAddressUse,
               reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
    const bool portValid = remotePort_ >= 1 && remotePort_ <= 65535;
    sockaddr_in local{};
    if (!toAddress(bindAddress_, portValid ? remotePort_ : 0, local) ||
        ::bind(socket->handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return {TransportError::LocalPortTaken,
                texts::udpBindFailed(localEndpoint(), common::osErrorText(WSAGetLastError()))};
    }
    sockaddr_in remote{};
    if (!portValid || remoteHostIP_.empty() || !toAddress(remoteHostIP_, remotePort_, remote)) {
        return {TransportError::AddressInvalid,
                texts::udpAddressInvalid(common::cp1253ToUtf8(remoteHostIP_),
                                         std::to_string(remotePort_))};
    }
    if (::connect(socket->handle, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        return {TransportError::ConnectFailed,
                texts::udpConnectFailed(remoteEndpoint(), common::osErrorText(WSAGetLastError()))};
    }
    socket_ = std::move(socket);
    return {};
}

// An error that a socket reports for an earlier datagram (nobody listens there, the way is
// closed) leaves the socket usable; any other means it is gone.
TransportResult UdpTransport::socketError(int error) {
    if (error == WSAECONNRESET || error == WSAECONNREFUSED || error == WSAEHOSTUNREACH ||
        error == WSAENETUNREACH || error == WSAEHOSTDOWN) {
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
    if (::send(socket_->handle, datagram.data(), static_cast<int>(datagram.size()), 0) ==
        SOCKET_ERROR) {
        return socketError(WSAGetLastError());
    }
    return {};
}

Received UdpTransport::receiveData(std::chrono::milliseconds maxWait) {
    if (!socket_) {
        // Nothing can arrive; waiting out the allowed time keeps the caller's loop calm.
        std::this_thread::sleep_for(maxWait);
        return {{}, closedSocket()};
    }
    const auto wait = std::max<long long>(0, maxWait.count());
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_->handle, &readable);
    timeval timeout{static_cast<long>(wait / 1000), static_cast<long>(wait % 1000 * 1000)};
    const int count = ::select(0, &readable, nullptr, nullptr, &timeout);
    if (count == SOCKET_ERROR) {
        return {{}, socketError(WSAGetLastError())};
    }
    if (count == 0) {
        return {};
    }
    std::vector<char> buffer(kMaxDatagram);
    const int got = ::recv(socket_->handle, buffer.data(), static_cast<int>(buffer.size()), 0);
    if (got == SOCKET_ERROR) {
        return {{}, socketError(WSAGetLastError())};
    }
    return {std::string(buffer.data(), static_cast<std::size_t>(got)), {}};
}

void UdpTransport::shutdownConnection() {
    socket_.reset();
}

}  // namespace merovan::link
