#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/link/transport.h"

namespace merovan::link {

// Where the register is, as the exchange decides it from the link address on first use.
struct LinkTarget {
    enum class Kind { Serial, Network };
    Kind kind = Kind::Serial;
    // The link address as given: "com1:9600", "/dev/ttyUSB0:9600", "192.168.1.50:5012".
    std::string linkAddress;
    // Network only: the parts of the address around ":", and the local address found.
    std::string remoteHost;
    std::string remotePort;
    std::string localHostIP;
};

// Makes the transport for a target; production uses the serial and UDP transports, tests a
// scripted one.
using TransportFactory = std::function<std::unique_ptr<Transport>(const LinkTarget&)>;

}  // namespace merovan::link
