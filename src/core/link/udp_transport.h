#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "core/link/transport.h"

namespace merovan::link {

// The register on the network. Despite its name it speaks UDP: the socket is bound to the
// register's port on this machine and connected to the register, one datagram carries one
// command, and each read takes one datagram of the reply.
class UdpTransport final : public Transport {
  public:
    UdpTransport();
    ~UdpTransport() override;
    UdpTransport(const UdpTransport&) = delete;
    UdpTransport& operator=(const UdpTransport&) = delete;

    void setRemoteHostIP(std::string address) { remoteHostIP_ = std::move(address); }
    // Also the local port. A value outside 1..65535 makes the remote address invalid.
    void setRemotePort(std::int32_t port) { remotePort_ = port; }
    // Recorded only: the socket is bound to every local address.
    void setLocalHostIP(std::string address) { localHostIP_ = std::move(address); }
    // Binds this local address instead of every one, so that a test can put the driver and
    // a simulated register on one machine. Production never sets it.
    void setBindAddress(std::string address) { bindAddress_ = std::move(address); }

    const std::string& remoteHostIP() const { return remoteHostIP_; }
    std::int32_t remotePort() const { return remotePort_; }
    const std::string& localHostIP() const { return localHostIP_; }

    // Succeeds at once when already open. LocalPortTaken when another program holds the
    // local port. A failed opening leaves no socket behind.
    TransportResult openConnection() override;
    TransportResult sendData(const std::string& text) override;
    // Waits up to maxWait for one datagram and returns it (at most 10000 bytes).
    Received receiveData(std::chrono::milliseconds maxWait) override;
    void shutdownConnection() override;

    // The socket handle; 0 when none is open.
    std::intptr_t socketHandle() const;

    static constexpr std::size_t kMaxDatagram = 10000;

  private:
    struct Socket;

    // A failed send, receive or readiness check: the socket is dropped (Gone) unless the
    // error only says nobody answers at the register's address (NoListener).
    TransportResult socketError(int error);
    TransportResult closedSocket() const;
    // "address:port" of each end, for the reasons a failure gives (UTF-8).
    std::string localEndpoint() const;
    std::string remoteEndpoint() const;

    std::string remoteHostIP_;
    std::int32_t remotePort_ = 0;
    std::string localHostIP_;
    std::string bindAddress_;
    std::unique_ptr<Socket> socket_;
};

}  // namespace merovan::link
