#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/link/transport.h"

namespace merovan::testing {

// A raw pseudo-terminal pair: the test plays the register on the master side.
class PtyPair {
  public:
    PtyPair() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        slavePath_ = ::ptsname(master_);
        termios settings{};
        ::tcgetattr(master_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(master_, TCSANOW, &settings);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
        }
        master_ = -1;
    }
    void write(const std::string& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads until count bytes came or the wait passed.
    std::string read(std::size_t count,
                     std::chrono::milliseconds wait = std::chrono::seconds(1)) const {
        std::string bytes;
        char buffer[1024];
        pollfd ready{master_, POLLIN, 0};
        while (bytes.size() < count && ::poll(&ready, 1, static_cast<int>(wait.count())) > 0) {
            const auto got = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (got <= 0) {
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes;
    }

  private:
    int master_;
    std::string slavePath_;
};

// A UDP port free on every local address at the moment of asking.
inline std::uint16_t freeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A read with nothing to come takes at least its wait, and sleeps through it rather than spin.
inline void expectIdleRead(link::Transport& transport, std::chrono::milliseconds wait,
                           std::chrono::milliseconds atLeast) {
    const auto cpuTime = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    const auto cpuBefore = cpuTime();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(transport.receiveData(wait).bytes, "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, atLeast);
    EXPECT_LT(cpuTime() - cpuBefore, std::chrono::milliseconds(10));
}

}  // namespace merovan::testing
