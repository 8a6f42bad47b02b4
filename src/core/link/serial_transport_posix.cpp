#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <thread>

#include "core/common/codepage.h"
#include "core/common/numeric.h"
#include "core/common/os_error.h"
#include "core/link/serial_transport.h"
#include "core/link/transport_line.h"
#include "core/link/transport_texts.h"

namespace merovan::link {

using std::chrono::milliseconds;
using Steady = std::chrono::steady_clock;

namespace {

// Read time-outs: a pause of 20 ms ends a read that has data, and a read never lasts much
// longer than a quarter of a second, whatever the caller may wait.
constexpr milliseconds kByteGap{20};
constexpr milliseconds kReadTotal{256};

speed_t speedFor(std::string_view baud) {
    if (baud.empty() ||
        !std::all_of(baud.begin(), baud.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return B0;
    }
    const auto value = common::parseInteger(baud);
    switch (value.value_or(0)) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

int pollMillis(milliseconds remaining) {
    return static_cast<int>(std::max<milliseconds::rep>(0, remaining.count()));
}

milliseconds since(Steady::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Steady::now() - start);
}

}  // namespace

// The open device; closing it also drops the lock, so every path releases the port. Our
// exclusive mode is cleared first: a terminal whose other side stays open (a pseudo-terminal)
// would otherwise keep refusing the next driver that is not root.
struct SerialTransport::Port {
    explicit Port(int descriptor) : fd(descriptor) {}
    ~Port() {
        if (exclusive) {
            ::ioctl(fd, TIOCNXCL);
        }
        ::close(fd);
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    int fd;
    bool exclusive = false;  // set by us, so ours to clear
};

SerialTransport::SerialTransport(std::string linkAddress)
    : linkAddress_(std::move(linkAddress)),
      device_(devicePath(std::string_view(linkAddress_).substr(0, linkAddress_.find(':')))) {}

SerialTransport::~SerialTransport() = default;

std::string SerialTransport::devicePath(std::string_view portName) {
    if (portName.starts_with("com")) {
        const auto number = common::parseInteger(portName.substr(3));
        if (number && *number >= 1 &&
            portName.substr(3).find_first_not_of("0123456789") == std::string_view::npos) {
            return "/dev/ttyS" + std::to_string(*number - 1);
        }
    }
    return std::string(portName);
}

TransportResult SerialTransport::openConnection() {
    shutdownConnection();
    const int fd = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return refuseOpening(TransportError::PortUnavailable,
                             texts::portOpenFailed(shownDevice(), common::osErrorText(errno)));
    }
    // Kept only once set up: in its cooked mode a port would echo the register's replies back
    // to it and swallow EOT.
    auto port = std::make_unique<Port>(fd);
    // Another program holding the port (its own lock or exclusive mode) refuses us, as the
    // register must never hear two drivers at once.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return refuseOpening(TransportError::PortUnavailable,
                             texts::portHeldElsewhere(shownDevice()));
    }
    port->exclusive = ::ioctl(fd, TIOCEXCL) == 0;

    termios settings{};
    const std::string speedText = baud();
    const speed_t speed = speedFor(speedText);
    if (speed == B0) {
        return refuseOpening(
            TransportError::PortSetUpRefused,
            texts::portSpeedRefused(shownDevice(), common::cp1253ToUtf8(speedText)));
    }
    if (::tcgetattr(fd, &settings) != 0) {
        return refuseOpening(TransportError::PortSetUpRefused,
                             texts::portSetUpFailed(shownDevice(), common::osErrorText(errno)));
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &settings) != 0) {
        return refuseOpening(TransportError::PortSetUpRefused,
                             texts::portSetUpFailed(shownDevice(), common::osErrorText(errno)));
    }
    port_ = std::move(port);
    setUp_ = true;
    return {};
}

TransportResult SerialTransport::sendData(const std::string& text) {
    if (!port_) {
        return {TransportError::Gone, texts::portLost(shownDevice(), texts::kClosed)};
    }
    const std::string line = withLineTerminator(text);
    for (std::size_t at = 0; at < line.size(); at += kChunk) {
        const std::string_view piece = std::string_view(line).substr(at, kChunk);
        // As the port's write time-out: 1 ms a byte plus 10 ms, then the write has failed.
        const auto deadline = Steady::now() + milliseconds(piece.size() + 10);
        std::size_t written = 0;
        while (written < piece.size()) {
            const auto count = ::write(port_->fd, piece.data() + written, piece.size() - written);
            if (count > 0) {
                written += static_cast<std::size_t>(count);
                continue;
            }
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0 && errno != EAGAIN) {
                return markLost(common::osErrorText(errno));
            }
            pollfd ready{port_->fd, POLLOUT, 0};
            const auto left = std::chrono::duration_cast<milliseconds>(deadline - Steady::now());
            const int polled = left.count() <= 0 ? 0 : ::poll(&ready, 1, pollMillis(left));
            if (polled > 0 && (ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                return markLost(std::string(texts::kHangUp));
            }
            if (polled <= 0 || (ready.revents & POLLOUT) == 0) {
                return {TransportError::WriteTimedOut,
                        texts::portWriteFailed(
                            shownDevice(), polled < 0 ? common::osErrorText(errno) : "time-out")};
            }
        }
    }
    return {};
}

Received SerialTransport::receiveData(milliseconds maxWait) {
    const auto start = Steady::now();
    const milliseconds firstWait = std::min(maxWait, kReadTotal);
    std::string received;
    // A port that never opened has nothing to give: wait out the time the caller allowed
    // instead of handing back at once, so its loop cannot spin.
    const auto idle = [&](TransportResult result) {
        if (received.empty()) {
            std::this_thread::sleep_for(firstWait - since(start));
        }
        return Received{received, std::move(result)};
    };
    if (!port_) {
        return idle({TransportError::Gone, texts::portLost(shownDevice(), texts::kClosed)});
    }
    std::array<char, kChunk> buffer{};
    while (received.size() < kChunk) {
        milliseconds timeout{0};
        if (maxWait.count() > 0) {
            timeout = received.empty() ? firstWait - since(start)
                                       : std::min(kByteGap, kReadTotal - since(start));
            if (timeout.count() < 0) {
                break;
            }
        }
        pollfd ready{port_->fd, POLLIN, 0};
        const int count = ::poll(&ready, 1, pollMillis(timeout));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        // The other end is gone (an unplugged adapter, a closed pseudo-terminal): what it
        // sent before is still read, then the port is given up.
        if ((ready.revents & POLLIN) == 0) {
            return idle(markLost(std::string(texts::kHangUp)));
        }
        const auto got = ::read(port_->fd, buffer.data(), kChunk - received.size());
        if (got > 0) {
            received.append(buffer.data(), static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            return idle(
                markLost(got == 0 ? std::string(texts::kHangUp) : common::osErrorText(errno)));
        }
    }
    return {received, {}};
}

TransportResult SerialTransport::hungUp() {
    if (!port_) {
        return {TransportError::Gone, texts::portLost(shownDevice(), texts::kClosed)};
    }
    // Asked for nothing: hang-up and errors are reported all the same, and no byte waiting
    // (a late card answer, say) is taken from the next exchange.
    pollfd ready{port_->fd, 0, 0};
    if (::poll(&ready, 1, 0) > 0 && (ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return markLost(std::string(texts::kHangUp));
    }
    return {};
}

void SerialTransport::shutdownConnection() {
    port_.reset();
    setUp_ = false;
}

}  // namespace merovan::link
