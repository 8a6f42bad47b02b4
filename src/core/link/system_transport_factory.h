#pragma once

#include <string>

#include "core/link/link_target.h"

namespace merovan::link {

// The transports of a real run: the serial port for a serial target, UDP for a network one.
// bindAddress binds the UDP socket to one local address instead of every one; only tests
// that put the driver and a simulated register on one machine set it.
TransportFactory systemTransportFactory(std::string bindAddress = {});

}  // namespace merovan::link
