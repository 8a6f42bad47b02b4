#include "core/link/udp_transport.h"

#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/link/local_address.h"
#include "transport/transport_test_support.h"

namespace merovan::link {
namespace {

using std::chrono::milliseconds;

// The register's side: a plain socket that answers whoever wrote to it last.
class UdpRegister {
  public:
    UdpRegister(const char* address, std::uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local = at(address, port);
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            throw std::runtime_error("bind");
        }
    }
    ~UdpRegister() { ::close(fd_); }
    static sockaddr_in at(const char* address, std::uint16_t port) {
        sockaddr_in result{};
        result.sin_family = AF_INET;
        result.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &result.sin_addr);
        return result;
    }
    std::string receive() {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, 1000) <= 0) {
            return "(nothing)";
        }
        char buffer[2048];
        socklen_t length = sizeof peer_;
        const auto got =
            ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer_), &length);
        return std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    void reply(const std::string& bytes) {
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer_),
                 sizeof peer_);
    }
    std::uint16_t peerPort() const { return ntohs(peer_.sin_port); }

  private:
    int fd_ = -1;
    sockaddr_in peer_{};
};

// The driver as tests place it: on 127.0.0.1, the register on 127.0.0.2, both on one port.
void aim(cTCPIP& udp, std::uint16_t port) {
    udp.setRemoteHostIP("127.0.0.2");
    udp.setRemotePort(port);
    udp.setBindAddress("127.0.0.1");
}

TEST(UdpTransport, BindsTheRegistersPortAndSendsOneDatagramACommand) {
    const auto port = testing::freeUdpPort();
    UdpRegister register_("127.0.0.2", port);
    cTCPIP udp;
    aim(udp, port);
    ASSERT_EQ(udp.openConnection(), 0);
    EXPECT_NE(udp.socketHnd(), 0);
    EXPECT_EQ(udp.openConnection(), 0) << "already open";

    EXPECT_TRUE(udp.sendData("KXCL"));
    EXPECT_EQ(register_.receive(), "KXCL\r\n");
    EXPECT_EQ(register_.peerPort(), port) << "the driver sends from the same port";
    EXPECT_TRUE(udp.sendData("KX100R1A\r\n"));
    EXPECT_EQ(register_.receive(), "KX100R1A\r\n");

    register_.reply("OK:1");
    register_.reply(":2\r\x04");
    EXPECT_EQ(udp.receiveData(milliseconds(1000)), "OK:1");
    EXPECT_EQ(udp.receiveData(milliseconds(1000)), ":2\r\x04");
    EXPECT_EQ(udp.receiveData(milliseconds(50)), "");
    EXPECT_EQ(udp.result(), 0);

    const std::string big(12000, 'x');
    register_.reply(big);
    EXPECT_EQ(udp.receiveData(milliseconds(1000)).size(), cTCPIP::kMaxDatagram);
}

TEST(UdpTransport, OpeningFailuresLeaveResultAloneAndNoSocket) {
    const auto port = testing::freeUdpPort();
    const std::pair<const char*, std::int32_t> invalid[] = {
        {"abc", port}, {"", port}, {"10.0.0.256", port}, {"127.0.0.2", 0}, {"127.0.0.2", 70000}};
    for (const auto& [host, remotePort] : invalid) {
        cTCPIP udp;
        udp.setRemoteHostIP(host);
        udp.setRemotePort(remotePort);
        udp.setResult(7);
        EXPECT_EQ(udp.openConnection(), -5) << host << ":" << remotePort;
        EXPECT_EQ(udp.result(), 7);
        EXPECT_EQ(udp.socketHnd(), 0);
        EXPECT_EQ(udp.openConnection(), -5) << "a second opening does not report success";
    }

    // Another program on the register's port: refused on one address and on all of them.
    UdpRegister other("127.0.0.1", port);
    cTCPIP bound;
    aim(bound, port);
    EXPECT_EQ(bound.openConnection(), -4);
    cTCPIP everywhere;
    everywhere.setRemoteHostIP("127.0.0.2");
    everywhere.setRemotePort(port);
    EXPECT_EQ(everywhere.openConnection(), -4);
}

TEST(UdpTransport, ShutdownIsRepeatableAndLaterUseFailsQuietly) {
    const auto port = testing::freeUdpPort();
    cTCPIP udp;
    aim(udp, port);
    ASSERT_EQ(udp.openConnection(), 0);
    udp.shutdownConnection();
    udp.shutdownConnection();
    EXPECT_EQ(udp.socketHnd(), 0);
    UdpRegister again("127.0.0.1", port);  // the port is free once more

    EXPECT_FALSE(udp.sendData("KXCL"));
    EXPECT_EQ(udp.result(), -1);
    EXPECT_EQ(udp.exResult(),
              common::utf8ToCp1253("Λάθος κατά την αποστολή δεδομένων στην θύρα (Ethernet)"));
    const auto cpuBefore = testing::threadCpuTime();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(udp.receiveData(milliseconds(200)), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(190));
    EXPECT_LT(testing::threadCpuTime() - cpuBefore, milliseconds(20));
}

TEST(LocalAddress, TakesTheFirstAddressThatIsNotLoopbackOrUnset) {
    EXPECT_EQ(firstUsableAddress({"127.0.0.1", "0.0.0.0", "0.0.0.1"}), "");
    EXPECT_EQ(firstUsableAddress({}), "");
    EXPECT_EQ(firstUsableAddress({"127.0.0.1", "192.168.1.7", "10.0.0.3"}), "192.168.1.7");
    EXPECT_EQ(firstUsableAddress({"127.0.0.2"}), "127.0.0.2");

    const std::string found = LocalAddressLookup();
    in_addr parsed{};
    EXPECT_TRUE(found.empty() || ::inet_pton(AF_INET, found.c_str(), &parsed) == 1) << found;
    EXPECT_NE(found, "127.0.0.1");
}

}  // namespace
}  // namespace merovan::link
