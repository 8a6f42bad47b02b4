#include "core/link/udp_transport.h"

#include <gtest/gtest.h>

#include "core/link/local_address.h"
#include "support/transport_test_support.h"

namespace merovan::link {
namespace {

using std::chrono::milliseconds;

// Both ends on one port, as the driver and a register are; the tests put the driver on
// 127.0.0.1 and the register, another UdpTransport, on 127.0.0.2.
void aim(UdpTransport& udp, const char* from, const char* to, std::uint16_t port) {
    udp.setBindAddress(from);
    udp.setRemoteHostIP(to);
    udp.setRemotePort(port);
}

TEST(UdpTransport, SendsOneDatagramACommandFromTheRegistersPort) {
    const auto port = testing::freeUdpPort();
    UdpTransport udp, register_;
    aim(udp, "127.0.0.1", "127.0.0.2", port);
    aim(register_, "127.0.0.2", "127.0.0.1", port);
    ASSERT_TRUE(register_.openConnection().ok());
    ASSERT_TRUE(udp.openConnection().ok());
    EXPECT_TRUE(udp.openConnection().ok()) << "already open";

    // The register's side takes datagrams from the driver's address and port only.
    EXPECT_TRUE(udp.sendData("KXCL").ok());
    EXPECT_EQ(register_.receiveData(milliseconds(1000)).bytes, "KXCL\r\n");
    EXPECT_TRUE(udp.sendData("KX100R1A\r\n").ok());
    EXPECT_EQ(register_.receiveData(milliseconds(1000)).bytes, "KX100R1A\r\n");

    register_.sendData("OK:1\r\n");
    register_.sendData("\r\x04");
    EXPECT_EQ(udp.receiveData(milliseconds(1000)).bytes, "OK:1\r\n");
    EXPECT_EQ(udp.receiveData(milliseconds(1000)).bytes, "\r\x04");
    const Received nothing = udp.receiveData(milliseconds(50));
    EXPECT_EQ(nothing.bytes, "");
    EXPECT_TRUE(nothing.result.ok());

    register_.sendData(std::string(12000, 'x'));
    EXPECT_EQ(udp.receiveData(milliseconds(1000)).bytes.size(), UdpTransport::kMaxDatagram);
}

TEST(UdpTransport, AnInvalidAddressLeavesNoSocket) {
    const auto port = testing::freeUdpPort();
    const std::pair<const char*, std::int32_t> invalid[] = {
        {"abc", port}, {"", port}, {"10.0.0.256", port}, {"127.0.0.2", 0}, {"127.0.0.2", 70000}};
    for (const auto& [host, remotePort] : invalid) {
        UdpTransport udp;
        udp.setRemoteHostIP(host);
        udp.setRemotePort(remotePort);
        EXPECT_EQ(udp.openConnection().error, TransportError::AddressInvalid)
            << host << ":" << remotePort;
        EXPECT_EQ(udp.socketHandle(), 0);
        EXPECT_EQ(udp.openConnection().error, TransportError::AddressInvalid)
            << "a second opening does not report success";
    }
}

// A port busy with another program, on one address or on all of them, says why and is taken
// once free; nobody at the register's address is noted but keeps the socket, as the register
// may start listening any moment.
TEST(UdpTransport, ABusyPortSaysWhyAndAnEmptyAddressKeepsTheSocket) {
    const auto port = testing::freeUdpPort();
    UdpTransport other, udp, everywhere;
    aim(other, "127.0.0.1", "127.0.0.2", port);
    ASSERT_TRUE(other.openConnection().ok());
    everywhere.setRemoteHostIP("127.0.0.2");
    everywhere.setRemotePort(port);
    EXPECT_EQ(everywhere.openConnection().error, TransportError::LocalPortTaken);
    aim(udp, "127.0.0.1", "127.0.0.2", port);
    const TransportResult busy = udp.openConnection();
    EXPECT_EQ(busy.error, TransportError::LocalPortTaken);
    EXPECT_TRUE(busy.lost());
    EXPECT_EQ(busy.reason, "η τοπική θύρα UDP 127.0.0.1:" + std::to_string(port) +
                               " δεν δεσμεύεται: Address already in use");
    other.shutdownConnection();
    ASSERT_TRUE(udp.openConnection().ok());

    EXPECT_TRUE(udp.sendData("KXCL").ok());
    const Received refused = udp.receiveData(milliseconds(200));
    EXPECT_EQ(refused.bytes, "");
    EXPECT_EQ(refused.result.error, TransportError::NoListener);
    EXPECT_FALSE(refused.result.lost());
    EXPECT_NE(udp.socketHandle(), 0);
    EXPECT_EQ(refused.result.reason, "κανείς δεν ακούει στη διεύθυνση 127.0.0.2:" +
                                         std::to_string(port) + ": Connection refused");
}

TEST(UdpTransport, ShutdownIsRepeatableAndLaterUseFailsQuietly) {
    const auto port = testing::freeUdpPort();
    UdpTransport udp, again;
    aim(udp, "127.0.0.1", "127.0.0.2", port);
    ASSERT_TRUE(udp.openConnection().ok());
    udp.shutdownConnection();
    udp.shutdownConnection();
    EXPECT_EQ(udp.socketHandle(), 0);
    aim(again, "127.0.0.1", "127.0.0.2", port);
    EXPECT_TRUE(again.openConnection().ok()) << "the port is free once more";

    EXPECT_EQ(udp.sendData("KXCL").error, TransportError::Gone);
    testing::expectIdleRead(udp, milliseconds(200), milliseconds(190));
}

TEST(LocalAddress, TakesTheFirstAddressThatIsNotLoopbackOrUnset) {
    EXPECT_EQ(firstUsableAddress({"127.0.0.1", "0.0.0.0", "0.0.0.1"}), "");
    EXPECT_EQ(firstUsableAddress({}), "");
    EXPECT_EQ(firstUsableAddress({"127.0.0.1", "192.168.1.7", "10.0.0.3"}), "192.168.1.7");
    EXPECT_EQ(firstUsableAddress({"127.0.0.2"}), "127.0.0.2");

    const std::string found = localAddressLookup();
    in_addr parsed{};
    EXPECT_TRUE(found.empty() || ::inet_pton(AF_INET, found.c_str(), &parsed) == 1) << found;
    EXPECT_NE(found, "127.0.0.1");
}

}  // namespace
}  // namespace merovan::link
