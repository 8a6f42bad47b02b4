// The driver's real bind (every local address, the register's port) checked without any
// test address: the driver and the register each live in a network namespace of their own,
// joined by a veth pair with private addresses that exist only inside the pair.
#include <arpa/inet.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "core/link/udp_transport.h"
#include "tools/register/register_simulator.h"

namespace merovan::link {
namespace {

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs work on a thread that has joined the namespace; sockets made there stay in it.
void inside(const std::string& name, const std::function<void()>& work) {
    std::thread thread([&] {
        const int fd = ::open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::setns(fd, CLONE_NEWNET), 0) << name;
        ::close(fd);
        work();
    });
    thread.join();
}

TEST(UdpTransportNamespace, BindsEveryLocalAddressOnTheRegistersPort) {
    if (::geteuid() != 0 || !run("ip -V")) {
        GTEST_SKIP() << "needs root and the ip tool";
    }
    // "mvd<pid>" for the driver and "mvr<pid>" for the register, removed however the test ends.
    const std::string d = "mvd" + std::to_string(::getpid()),
                      r = "mvr" + std::to_string(::getpid());
    struct Removal {
        std::string command;
        ~Removal() { run(command); }
    } removal{"ip netns del " + d + "; ip netns del " + r};
    ASSERT_TRUE(run("ip netns add " + d + " && ip netns add " + r + " && ip link add " + d +
                    " netns " + d + " type veth peer name " + r + " netns " + r + " && ip -n " + d +
                    " addr add 10.231.0.1/30 dev " + d + " && ip -n " + r +
                    " addr add 10.231.0.2/30 dev " + r + " && ip -n " + d + " link set " + d +
                    " up && ip -n " + r + " link set " + r + " up"))
        << "could not build the namespace pair";

    sim::RegisterSimulator::Options options;
    options.mode = sim::RegisterSimulator::Options::Mode::Udp;
    options.udpAddress = "10.231.0.2";
    options.udpPort = 5012;
    sim::RegisterSimulator simulator(options);
    inside(r, [&] { simulator.start(); });

    inside(d, [&] {
        cTCPIP udp;
        udp.setRemoteHostIP("10.231.0.2");
        udp.setRemotePort(5012);
        ASSERT_EQ(udp.openConnection(), 0);
        sockaddr_in local{};
        socklen_t length = sizeof local;
        ::getsockname(static_cast<int>(udp.socketHnd()), reinterpret_cast<sockaddr*>(&local),
                      &length);
        // Bound to every address; connecting settled on the one that leads to the register.
        char address[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &local.sin_addr, address, sizeof address);
        EXPECT_STREQ(address, "10.231.0.1");
        EXPECT_EQ(ntohs(local.sin_port), 5012);
        udp.sendData("KXCL");
        EXPECT_EQ(udp.receiveData(std::chrono::seconds(1)), "OK\r\x04");
        udp.sendData("KX?TO");
        EXPECT_EQ(udp.receiveData(std::chrono::seconds(1)), "OK:0\r\x04");
        udp.shutdownConnection();
    });
    simulator.stop();
    EXPECT_EQ(simulator.traffic(), (std::vector<std::string>{"KXCL", "KX?TO"}));
}

}  // namespace
}  // namespace merovan::link
