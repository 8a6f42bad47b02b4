#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

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
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        slavePath_ = name;
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
            master_ = -1;
        }
    }
    void write(const std::string& bytes) const {
        if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("pty write");
        }
    }
    // Reads until count bytes came or the wait passed.
    std::string read(std::size_t count,
                     std::chrono::milliseconds wait = std::chrono::seconds(1)) const {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd ready{master_, POLLIN, 0};
            if (::poll(&ready, 1, 10) > 0) {
                char buffer[1024];
                const auto got =
                    ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
                if (got <= 0) {
                    break;
                }
                bytes.append(buffer, static_cast<std::size_t>(got));
            }
        }
        return bytes;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// A UDP port free on the loopback addresses at the moment of asking.
inline std::uint16_t freeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

inline std::chrono::milliseconds threadCpuTime() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

// Sends a command and collects what comes back until EOT, for at most a second.
inline std::string roundTrip(link::Transport& transport, const std::string& command) {
    transport.sendData(command);
    std::string reply;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (reply.find('\x04') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        reply += transport.receiveData(std::chrono::milliseconds(100));
    }
    return reply;
}

}  // namespace merovan::testing
