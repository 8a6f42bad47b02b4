#include "core/link/system_transport_factory.h"

#include <limits>

#include "core/common/numeric.h"
#include "core/link/serial_transport.h"
#include "core/link/udp_transport.h"

namespace merovan::link {

TransportFactory systemTransportFactory(std::string bindAddress) {
    return [bindAddress =
                std::move(bindAddress)](const LinkTarget& target) -> std::unique_ptr<Transport> {
        if (target.kind == LinkTarget::Kind::Serial) {
            return std::make_unique<SerialTransport>(target.linkAddress);
        }
        auto udp = std::make_unique<UdpTransport>();
        udp->setRemoteHostIP(target.remoteHost);
        // A port that is not a number, or too large, is refused when the link opens.
        const auto port = common::parseInteger(target.remotePort);
        udp->setRemotePort(port && *port > 0 && *port <= std::numeric_limits<std::int32_t>::max()
                               ? static_cast<std::int32_t>(*port)
                               : -1);
        udp->setLocalHostIP(target.localHostIP);
        udp->setBindAddress(bindAddress);
        return udp;
    };
}

}  // namespace merovan::link
