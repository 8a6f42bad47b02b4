#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace merovan::testing {

// Two network namespaces joined by a veth pair, with private addresses that exist only
// inside the pair: "mvd<pid>" (10.231.0.1) for the driver and "mvr<pid>" (10.231.0.2) for
// the register. So each can bind the register's UDP port on every address, as in a shop.
// Needs root and the ip tool; removed however the test ends.
class NetNamespacePair {
  public:
    static constexpr const char* kDriverAddress = "10.231.0.1";
    static constexpr const char* kRegisterAddress = "10.231.0.2";

    static bool run(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }
    static bool available() { return ::geteuid() == 0 && run("ip -V"); }

    NetNamespacePair() {
        const std::string d = driver(), r = register_();
        ok_ = run("ip netns add " + d + " && ip netns add " + r + " && ip link add " + d +
                  " netns " + d + " type veth peer name " + r + " netns " + r + " && ip -n " + d +
                  " addr add " + kDriverAddress + "/30 dev " + d + " && ip -n " + r + " addr add " +
                  kRegisterAddress + "/30 dev " + r + " && ip -n " + d + " link set " + d +
                  " up && ip -n " + r + " link set " + r + " up");
    }
    ~NetNamespacePair() { run("ip netns del " + driver() + "; ip netns del " + register_()); }
    NetNamespacePair(const NetNamespacePair&) = delete;
    NetNamespacePair& operator=(const NetNamespacePair&) = delete;

    bool ok() const { return ok_; }
    std::string driver() const { return "mvd" + std::to_string(::getpid()); }
    std::string register_() const { return "mvr" + std::to_string(::getpid()); }

    // Runs work on a thread that has joined the namespace; sockets made there stay in it.
    static void inside(const std::string& name, const std::function<void()>& work) {
        std::thread thread([&] {
            const int fd = ::open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::setns(fd, CLONE_NEWNET) != 0) {
                ADD_FAILURE() << "cannot join the network namespace " << name;
                return;
            }
            ::close(fd);
            work();
        });
        thread.join();
    }

  private:
    bool ok_ = false;
};

}  // namespace merovan::testing
