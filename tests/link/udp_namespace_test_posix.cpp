// The driver's real bind (every local address, the register's port) checked without any
// test address: the driver and the register each live in a network namespace of their own.
#include <arpa/inet.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "core/link/udp_transport.h"
#include "support/net_namespace_pair.h"
#include "tools/register/register_simulator.h"

namespace merovan::link {
namespace {

using testing::NetNamespacePair;

TEST(UdpTransportNamespace, BindsEveryLocalAddressOnTheRegistersPort) {
    if (!NetNamespacePair::available()) {
        GTEST_SKIP() << "needs root and the ip tool";
    }
    const NetNamespacePair pair;
    ASSERT_TRUE(pair.ok()) << "could not build the namespace pair";
    const auto inside = NetNamespacePair::inside;
    const std::string d = pair.driver(), r = pair.register_();

    sim::RegisterSimulator::Options options;
    options.mode = sim::RegisterSimulator::Options::Mode::Udp;
    options.udpAddress = "10.231.0.2";
    options.udpPort = 5012;
    sim::RegisterSimulator simulator(options);
    inside(r, [&] { simulator.start(); });

    inside(d, [&] {
        UdpTransport udp;
        udp.setRemoteHostIP("10.231.0.2");
        udp.setRemotePort(5012);
        ASSERT_TRUE(udp.openConnection().ok());
        sockaddr_in local{};
        socklen_t length = sizeof local;
        ::getsockname(static_cast<int>(udp.socketHandle()), reinterpret_cast<sockaddr*>(&local),
                      &length);
        // Bound to every address; connecting settled on the one that leads to the register.
        char address[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &local.sin_addr, address, sizeof address);
        EXPECT_STREQ(address, "10.231.0.1");
        EXPECT_EQ(ntohs(local.sin_port), 5012);
        udp.sendData("KXCL");
        EXPECT_EQ(udp.receiveData(std::chrono::seconds(1)).bytes, "OK\r\x04");
        udp.sendData("KX?TO");
        EXPECT_EQ(udp.receiveData(std::chrono::seconds(1)).bytes, "OK:0\r\x04");
        udp.shutdownConnection();
    });
    simulator.stop();
    EXPECT_EQ(simulator.traffic(), (std::vector<std::string>{"KXCL", "KX?TO"}));
}

}  // namespace
}  // namespace merovan::link
