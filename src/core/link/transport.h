#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace merovan::link {

// The operations the serial (cCom) and network (cTCPIP) transports share. Bytes are code
// page 1253 text, one character per byte. Result and exResult carry the last failure while
// an exchange runs; the exchange overwrites them at its end.
class Transport {
public:
    virtual ~Transport() = default;

    // Opens the link. Returns the opening status: the serial transport also leaves it in
    // Result/exResult; the network transport only returns it.
    virtual std::int16_t openConnection() = 0;
    // Sends one command; CR LF is added when the text is longer than 2 characters and does
    // not end with it. Returns whether the bytes went out.
    virtual bool sendData(const std::string& text) = 0;
    // Returns what arrived: waits at most maxWait for the first byte (0: only takes what is
    // already there), blocking in the operating system rather than spinning. Empty when
    // nothing came.
    virtual std::string receiveData(std::chrono::milliseconds maxWait) = 0;
    virtual void shutdownConnection() = 0;

    std::int16_t result() const { return result_; }
    void setResult(std::int16_t value) { result_ = value; }
    const std::string& exResult() const { return exResult_; }
    void setExResult(std::string text) { exResult_ = std::move(text); }

protected:
    std::int16_t result_ = 0;
    std::string exResult_;
};

}  // namespace merovan::link
