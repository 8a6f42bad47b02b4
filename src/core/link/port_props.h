#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/link/transport.h"

namespace merovan::link {

// The link's port properties. Nothing in the driver sets tcpPort or isConnected; they are
// kept because callers may read them. TCPClass makes a network transport on first read.
class cPortProp {
  public:
    using TransportMaker = std::function<std::unique_ptr<Transport>()>;

    explicit cPortProp(TransportMaker makeNetworkTransport)
        : makeNetworkTransport_(std::move(makeNetworkTransport)) {}

    bool tcpPort() const { return tcpPort_; }
    void setTcpPort(bool value) { tcpPort_ = value; }
    std::int32_t comHandle() const { return comHandle_; }
    void setComHandle(std::int32_t value) { comHandle_ = value; }
    bool isConnected() const { return isConnected_; }
    void setIsConnected(bool value) { isConnected_ = value; }

    Transport* TCPClass();
    void setTCPClass(std::unique_ptr<Transport> transport) { tcpClass_ = std::move(transport); }

  private:
    TransportMaker makeNetworkTransport_;
    std::unique_ptr<Transport> tcpClass_;
    std::int32_t comHandle_ = 0;
    bool tcpPort_ = false;
    bool isConnected_ = false;
};

}  // namespace merovan::link
