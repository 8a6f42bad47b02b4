#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace merovan::link {

// The operations the serial (SerialTransport) and network (UdpTransport) transports share. Bytes
// are code page 1253 text, one character per byte. Result and exResult carry the last failure while
// an exchange runs; the exchange overwrites them at its end.
class Transport {
  public:
    virtual ~Transport() = default;

    // Opens the link. Returns the opening status: the serial transport also leaves it in
    // Result/exResult; the network transport only returns it. A failed opening leaves
    // nothing open, says why in failureReason() and counts as lost().
    virtual std::int16_t openConnection() = 0;
    // Sends one command; CR LF is added when the text is longer than 2 characters and does
    // not end with it. Returns whether the bytes went out.
    virtual bool sendData(const std::string& text) = 0;
    // Returns what arrived: waits at most maxWait for the first byte (0: only takes what is
    // already there), blocking in the operating system rather than spinning. Empty when
    // nothing came.
    virtual std::string receiveData(std::chrono::milliseconds maxWait) = 0;
    virtual void shutdownConnection() = 0;
    // Whether the other end is known to be gone without a byte sent or taken (a serial
    // adapter unplugged while the driver was idle); marks the transport lost when it is.
    virtual bool hungUp() { return lost_; }

    std::int16_t result() const { return result_; }
    void setResult(std::int16_t value) { result_ = value; }
    const std::string& exResult() const { return exResult_; }
    void setExResult(std::string text) { exResult_ = std::move(text); }

    // Why the transport failed last, in plain words naming the device or address and the
    // OS reason (UTF-8): set by a failed opening, by a failed send and by a hang-up or I/O
    // error; empty after a good opening.
    const std::string& failureReason() const { return failureReason_; }
    // The device or socket is gone (hang-up, I/O error, a socket error, or it never opened):
    // nothing more will come through it, and only opening it anew can help.
    bool lost() const { return lost_; }
    // Forgets a failure the transport went on from (nobody listened, a write timed out), so
    // that it is not taken for the cause of a later one.
    void forgetPassingFailure() {
        if (!lost_) {
            failureReason_.clear();
        }
    }

  protected:
    void setFailure(std::string reason) { failureReason_ = std::move(reason); }
    void setLost(std::string reason) {
        failureReason_ = std::move(reason);
        lost_ = true;
    }
    void clearFailure() {
        failureReason_.clear();
        lost_ = false;
    }

    std::int16_t result_ = 0;
    std::string exResult_;

  private:
    std::string failureReason_;
    bool lost_ = false;
};

}  // namespace merovan::link
