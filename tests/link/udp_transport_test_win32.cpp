#include <gtest/gtest.h>

#include <chrono>

#include "core/link/local_address.h"
#include "core/link/udp_transport.h"

namespace merovan::link {
namespace {

using namespace std::chrono_literals;

void aim(UdpTransport& udp, const std::string& host, std::int32_t port) {
    udp.setRemoteHostIP(host);
    udp.setRemotePort(port);
}

TEST(UdpTransportWin32, OpensBindsAndRefusesAsTheLinkExpects) {
    UdpTransport badHost;
    aim(badHost, "abc", 50121);
    EXPECT_EQ(badHost.openConnection().error, TransportError::AddressInvalid);
    EXPECT_EQ(badHost.socketHandle(), 0);

    // Bound to every address on the register's port and connected to it: on loopback the
    // socket hears its own datagram, one command one datagram.
    UdpTransport udp;
    aim(udp, "127.0.0.1", 50121);
    ASSERT_TRUE(udp.openConnection().ok());
    EXPECT_NE(udp.socketHandle(), 0);
    EXPECT_TRUE(udp.openConnection().ok());  // already open
    EXPECT_EQ(udp.receiveData(0ms).bytes, "");
    ASSERT_TRUE(udp.sendData("KXCL").ok());
    ASSERT_TRUE(udp.sendData("KX?TO").ok());
    EXPECT_EQ(udp.receiveData(2000ms).bytes, "KXCL\r\n");
    EXPECT_EQ(udp.receiveData(2000ms).bytes, "KX?TO\r\n");

    UdpTransport second;
    aim(second, "127.0.0.1", 50121);
    EXPECT_EQ(second.openConnection().error, TransportError::LocalPortTaken);

    udp.shutdownConnection();
    udp.shutdownConnection();
    EXPECT_EQ(udp.socketHandle(), 0);
    EXPECT_EQ(udp.sendData("KXCL").error, TransportError::Gone);

    std::string error;
    EXPECT_NE(localAddressLookup(error), "127.0.0.1");
    EXPECT_EQ(error, "");
}

}  // namespace
}  // namespace merovan::link
