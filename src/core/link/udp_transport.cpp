// What both platforms' UDP transports say about their ends.
#include "core/link/udp_transport.h"
#include "core/common/codepage.h"
#include "core/link/transport_texts.h"

namespace merovan::link {

std::string UdpTransport::localEndpoint() const {
    const std::string address = bindAddress_.empty() ? "0.0.0.0" : bindAddress_;
    return common::cp1253ToUtf8(address) + ":" + std::to_string(remotePort_);
}

std::string UdpTransport::remoteEndpoint() const {
    return common::cp1253ToUtf8(remoteHostIP_) + ":" + std::to_string(remotePort_);
}

TransportResult UdpTransport::closedSocket() const {
    return {TransportError::Gone, texts::udpSocketLost(remoteEndpoint(), texts::kClosed)};
}

}  // namespace merovan::link
