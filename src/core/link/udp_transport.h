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

    // 0 opened (or already open), -1 the socket library did not start (Windows), -2 no
    // socket, -4 the local port could not be bound (another program holds it), -5 the
    // register's address is invalid, -6 connect failed. Leaves result() and exResult() alone.
    // A failed opening leaves no socket behind; failureReason() says why.
    std::int16_t openConnection() override;
    bool sendData(const std::string& text) override;
    // Waits up to maxWait for one datagram and returns it (at most 10000 bytes).
    std::string receiveData(std::chrono::milliseconds maxWait) override;
    void shutdownConnection() override;

    // The socket handle; 0 when none is open.
    std::intptr_t socketHandle() const;

    static constexpr std::size_t kMaxDatagram = 10000;

  private:
    struct Socket;

    // A failed send, receive or readiness check: the socket is dropped (lost()) unless the
    // error only says nobody answers at the register's address.
    void noteSocketError(int error);
    // "address:port" of each end, for the reasons given in failureReason() (UTF-8).
    std::string localEndpoint() const;
    std::string remoteEndpoint() const;

    std::string remoteHostIP_;
    std::int32_t remotePort_ = 0;
    std::string localHostIP_;
    std::string bindAddress_;
    std::unique_ptr<Socket> socket_;
};

}  // namespace merovan::link
