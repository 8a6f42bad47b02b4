#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/link/transport.h"

namespace merovan::link {

// The register on a serial port: raw 8N1 without flow control, used by one program at a
// time. A read returns when 255 bytes have come, 20 ms after the last byte, or after about a
// quarter of a second in all, so the exchange above it keeps control of its deadlines.
class SerialTransport final : public Transport {
  public:
    // linkAddress is the port name and the baud rate: "com1:9600", "/dev/ttyUSB0:19200".
    explicit SerialTransport(std::string linkAddress);
    ~SerialTransport() override;
    SerialTransport(const SerialTransport&) = delete;
    SerialTransport& operator=(const SerialTransport&) = delete;

    // PortUnavailable when the port cannot be opened or another program holds it,
    // PortSetUpRefused when it cannot take the baud rate. Either way the port is closed
    // again: a port that is not set up is never used.
    TransportResult openConnection() override;
    TransportResult sendData(const std::string& text) override;
    Received receiveData(std::chrono::milliseconds maxWait) override;
    void shutdownConnection() override;
    TransportResult hungUp() override;

    const std::string& linkAddress() const { return linkAddress_; }
    // Whether the port is open and set up; a hang-up or I/O error closes it.
    bool isSetUp() const { return setUp_; }

    // The device a port name stands for on this platform: "com3" is the third serial port.
    static std::string devicePath(std::string_view portName);

    // The longest piece written or read at once.
    static constexpr std::size_t kChunk = 255;

  private:
    struct Port;

    // The port hung up or failed: closed until opened anew.
    TransportResult markLost(const std::string& why);
    // A failed opening: nothing stays open.
    TransportResult refuseOpening(TransportError error, std::string reason);
    std::string baud() const;
    std::string shownDevice() const;

    std::string linkAddress_;
    std::string device_;
    std::unique_ptr<Port> port_;
    bool setUp_ = false;
};

}  // namespace merovan::link
