#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tools/register/register_simulator.h"

namespace merovan::sim {

using Steady = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    int get() const { return fd_; }

  private:
    int fd_ = -1;
};

}  // namespace

struct RegisterSimulator::Impl {
    struct Outgoing {
        std::string bytes;
        sockaddr_in peer{};
    };

    Options options;
    Descriptor endpointFd;
    // Our own hold on the pseudo-terminal's device: without it the pair hangs up whenever the
    // driver closes its side, and the raw settings would be lost.
    Descriptor slaveFd;
    Descriptor wakeRead;
    Descriptor wakeWrite;
    std::string endpointName;
    std::thread worker;
    bool stopping = false;

    mutable std::mutex mutex;
    mutable std::condition_variable trafficArrived;
    RegisterState state;
    std::vector<std::string> traffic;
    std::ofstream trafficFile;
    std::vector<std::string> receiptLog;
    std::ofstream receiptLogFile;
    std::multimap<Steady::time_point, Outgoing> outbox;
    std::string lineBuffer;

    void openPty();
    void openUdp();
    void run();
    void receive();
    void handle(const std::string& command, const sockaddr_in& peer);
    void sendDue();
    void writeReceiptLog(const std::vector<std::string>& lines);
    bool killDriverAt(std::size_t count, bool applied) const;
    void write(const Outgoing& outgoing);
};

void RegisterSimulator::Impl::openPty() {
    endpointFd.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (endpointFd.get() < 0 || ::grantpt(endpointFd.get()) != 0 ||
        ::unlockpt(endpointFd.get()) != 0) {
        throw systemError("cannot create a pseudo-terminal");
    }
    std::array<char, 128> name{};
    if (::ptsname_r(endpointFd.get(), name.data(), name.size()) != 0) {
        throw systemError("cannot name the pseudo-terminal");
    }
    endpointName = name.data();
    slaveFd.reset(::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios settings{};
    if (slaveFd.get() < 0 || ::tcgetattr(slaveFd.get(), &settings) != 0) {
        throw systemError("cannot open " + endpointName);
    }
    // A new pseudo-terminal echoes and turns CR into LF; the register's bytes must pass
    // untouched before anything is written.
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(slaveFd.get(), TCSANOW, &settings) != 0) {
        throw systemError("cannot make " + endpointName + " raw");
    }
    ::fcntl(endpointFd.get(), F_SETFL, ::fcntl(endpointFd.get(), F_GETFL) | O_NONBLOCK);
}

void RegisterSimulator::Impl::openUdp() {
    endpointFd.reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_UDP));
    if (endpointFd.get() < 0) {
        throw systemError("cannot create a UDP socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options.udpPort);
    if (::inet_pton(AF_INET, options.udpAddress.c_str(), &address.sin_addr) != 1) {
        throw std::runtime_error("not an IPv4 address: " + options.udpAddress);
    }
    if (::bind(endpointFd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
        0) {
        throw systemError("cannot listen on " + options.udpAddress + ":" +
                          std::to_string(options.udpPort));
    }
    socklen_t length = sizeof address;
    ::getsockname(endpointFd.get(), reinterpret_cast<sockaddr*>(&address), &length);
    endpointName = options.udpAddress + ":" + std::to_string(ntohs(address.sin_port));
}

void RegisterSimulator::Impl::run() {
    for (;;) {
        int timeout = -1;
        {
            const std::lock_guard lock(mutex);
            if (stopping) {
                return;
            }
            if (!outbox.empty()) {
                const auto wait =
                    std::chrono::ceil<milliseconds>(outbox.begin()->first - Steady::now());
                timeout = static_cast<int>(std::max<milliseconds::rep>(0, wait.count()));
            }
        }
        std::array<pollfd, 2> ready{{{endpointFd.get(), POLLIN, 0}, {wakeRead.get(), POLLIN, 0}}};
        if (::poll(ready.data(), ready.size(), timeout) < 0 && errno != EINTR) {
            return;
        }
        if (ready[1].revents != 0) {
            char drained[64];
            [[maybe_unused]] const auto ignored = ::read(wakeRead.get(), drained, sizeof drained);
        }
        if (ready[0].revents & POLLIN) {
            receive();
        }
        sendDue();
    }
}

void RegisterSimulator::Impl::receive() {
    std::array<char, 65536> buffer{};
    sockaddr_in peer{};
    socklen_t peerLength = sizeof peer;
    if (options.mode == Options::Mode::Udp) {
        const auto got = ::recvfrom(endpointFd.get(), buffer.data(), buffer.size(), 0,
                                    reinterpret_cast<sockaddr*>(&peer), &peerLength);
        if (got < 0) {
            return;
        }
        std::string command(buffer.data(), static_cast<std::size_t>(got));
        if (command.ends_with("\r\n")) {
            command.resize(command.size() - 2);
        }
        handle(command, peer);
        return;
    }
    const auto got = ::read(endpointFd.get(), buffer.data(), buffer.size());
    if (got <= 0) {
        return;
    }
    lineBuffer.append(buffer.data(), static_cast<std::size_t>(got));
    for (auto end = lineBuffer.find("\r\n"); end != std::string::npos;
         end = lineBuffer.find("\r\n")) {
        const std::string command = lineBuffer.substr(0, end);
        lineBuffer.erase(0, end + 2);
        handle(command, peer);
    }
}

void RegisterSimulator::Impl::handle(const std::string& command, const sockaddr_in& peer) {
    const std::lock_guard lock(mutex);
    traffic.push_back(command);
    if (trafficFile.is_open()) {
        trafficFile << command << '\n' << std::flush;
    }
    trafficArrived.notify_all();

    if (killDriverAt(traffic.size(), false)) {
        return;
    }
    const auto now = Steady::now();
    auto replies = respond(options.scenario, state, command);
    writeReceiptLog(state.takeLog());
    if (killDriverAt(traffic.size(), true)) {
        return;
    }
    for (ReplyPiece& piece : replies) {
        outbox.emplace(now + piece.after, Outgoing{std::move(piece.bytes), peer});
    }
}

void RegisterSimulator::Impl::writeReceiptLog(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        receiptLog.push_back(line);
        if (receiptLogFile.is_open()) {
            receiptLogFile << line << '\n' << std::flush;
        }
    }
}

bool RegisterSimulator::Impl::killDriverAt(std::size_t count, bool applied) const {
    const auto& point = options.kill;
    if (point.atCommand != count || point.beforeApplying == applied) {
        return false;
    }
    int pid = point.pid;
    // The test writes the driver's number once it has started it: wait for it a while.
    const auto deadline = Steady::now() + std::chrono::seconds(5);
    while (pid <= 0 && !point.pidFile.empty() && Steady::now() < deadline) {
        std::ifstream(point.pidFile) >> pid;
        if (pid <= 0) {
            std::this_thread::sleep_for(milliseconds(10));
        }
    }
    if (pid > 0) {
        ::kill(pid, SIGKILL);
    }
    return true;
}

void RegisterSimulator::Impl::sendDue() {
    for (;;) {
        Outgoing next;
        {
            const std::lock_guard lock(mutex);
            if (outbox.empty() || outbox.begin()->first > Steady::now()) {
                return;
            }
            next = std::move(outbox.begin()->second);
            outbox.erase(outbox.begin());
        }
        write(next);
    }
}

void RegisterSimulator::Impl::write(const Outgoing& outgoing) {
    if (options.mode == Options::Mode::Udp) {
        ::sendto(endpointFd.get(), outgoing.bytes.data(), outgoing.bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&outgoing.peer), sizeof outgoing.peer);
        return;
    }
    std::size_t written = 0;
    while (written < outgoing.bytes.size()) {
        const auto count = ::write(endpointFd.get(), outgoing.bytes.data() + written,
                                   outgoing.bytes.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        // Nobody reads the other side: give up on this reply after a second.
        pollfd ready{endpointFd.get(), POLLOUT, 0};
        if (count == 0 || errno != EAGAIN || ::poll(&ready, 1, 1000) <= 0) {
            return;
        }
    }
}

RegisterSimulator::RegisterSimulator(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
}

RegisterSimulator::~RegisterSimulator() {
    stop();
}

void RegisterSimulator::start() {
    if (impl_->worker.joinable()) {
        return;
    }
    if (impl_->options.mode == Options::Mode::Pty) {
        impl_->openPty();
    } else {
        impl_->openUdp();
    }
    if (!impl_->options.trafficFile.empty()) {
        impl_->trafficFile.open(impl_->options.trafficFile, std::ios::binary | std::ios::trunc);
        if (!impl_->trafficFile) {
            throw std::runtime_error("cannot write the traffic file " + impl_->options.trafficFile);
        }
    }
    if (!impl_->options.receiptLogFile.empty()) {
        impl_->receiptLogFile.open(impl_->options.receiptLogFile,
                                   std::ios::binary | std::ios::trunc);
        if (!impl_->receiptLogFile) {
            throw std::runtime_error("cannot write the receipt log " +
                                     impl_->options.receiptLogFile);
        }
    }
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw systemError("cannot create a pipe");
    }
    impl_->wakeRead.reset(pipe[0]);
    impl_->wakeWrite.reset(pipe[1]);
    impl_->stopping = false;
    impl_->worker = std::thread([impl = impl_.get()] { impl->run(); });
}

void RegisterSimulator::stop() {
    if (!impl_->worker.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    [[maybe_unused]] const auto ignored = ::write(impl_->wakeWrite.get(), "x", 1);
    impl_->worker.join();
    impl_->endpointFd.reset();
    impl_->slaveFd.reset();
    impl_->trafficFile.close();
    impl_->writeReceiptLog(impl_->state.openLog());
    impl_->receiptLogFile.close();
}

std::string RegisterSimulator::endpoint() const {
    return impl_->endpointName;
}

std::vector<std::string> RegisterSimulator::traffic() const {
    const std::lock_guard lock(impl_->mutex);
    return impl_->traffic;
}

bool RegisterSimulator::waitForTraffic(std::size_t count, milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->trafficArrived.wait_for(lock, timeout,
                                          [&] { return impl_->traffic.size() >= count; });
}

std::vector<std::string> RegisterSimulator::receiptLog() const {
    const std::lock_guard lock(impl_->mutex);
    return impl_->receiptLog;
}

RegisterState RegisterSimulator::state() const {
    const std::lock_guard lock(impl_->mutex);
    return impl_->state;
}

void RegisterSimulator::setScenario(Scenario scenario) {
    const std::lock_guard lock(impl_->mutex);
    impl_->options.scenario = std::move(scenario);
}

}  // namespace merovan::sim
