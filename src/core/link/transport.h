#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace merovan::link {

// Why a transport call failed. None of these reaches a result file as it is: the exchange
// turns them into a LinkStatus.
enum class TransportError : std::uint8_t {
    None,
    PortUnavailable,    // the serial port cannot be opened, or another program holds it
    PortSetUpRefused,   // the serial port will not take the speed or the 8N1 settings
    SocketUnavailable,  // no UDP socket (or, on Windows, no socket library)
    LocalPortTaken,     // the local UDP port cannot be bound
    AddressInvalid,     // the register's network address is not one
    ConnectFailed,      // the register's network address cannot be set on the socket
    Gone,               // hung up, an I/O or socket error, or closed: only opening anew helps
    WriteTimedOut,      // not every byte went out in time; the port stays usable
    NoListener,         // nobody listens at the register's address; the socket stays usable
};

// How one transport call ended.
struct TransportResult {
    TransportError error = TransportError::None;
    // In plain words, naming the device or address and the OS reason (UTF-8); empty when
    // the call went well.
    std::string reason;

    bool ok() const { return error == TransportError::None; }
    // Whether the device or socket is gone (a failed opening counts): nothing more will come
    // through it.
    bool lost() const {
        return error != TransportError::None && error != TransportError::WriteTimedOut &&
               error != TransportError::NoListener;
    }
};

// What one read brought: the bytes that arrived before a failure are kept.
struct Received {
    std::string bytes;
    TransportResult result;
};

// The operations the serial (SerialTransport) and network (UdpTransport) transports share. Bytes
// are code page 1253 text, one character per byte. Every call returns how it ended.
class Transport {
  public:
    virtual ~Transport() = default;

    // Opens the link. A failed opening leaves nothing open.
    virtual TransportResult openConnection() = 0;
    // Sends one command; CR LF is added when the text is longer than 2 characters and does
    // not end with it.
    virtual TransportResult sendData(const std::string& text) = 0;
    // Returns what arrived: waits at most maxWait for the first byte (0: only takes what is
    // already there), blocking in the operating system rather than spinning. Empty when
    // nothing came.
    virtual Received receiveData(std::chrono::milliseconds maxWait) = 0;
    // Closing cannot fail in a way anybody could act on: every handle is released.
    virtual void shutdownConnection() = 0;
    // Whether the other end is known to be gone without a byte sent or taken (a serial
    // adapter unplugged while the driver was idle).
    virtual TransportResult hungUp() { return {}; }
};

}  // namespace merovan::link
