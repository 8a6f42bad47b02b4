#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/link_target.h"
#include "core/link/transport.h"
#include "support/fake_clock.h"

namespace merovan::testing {

// A register on a script: for every command sent it answers with pieces of bytes that
// arrive after given delays on the fake clock. It can stay silent, split a reply, answer
// late or refuse; receiveData moves the fake clock as a blocking read would.
class ScriptedTransport final : public link::Transport {
  public:
    struct Piece {
        std::chrono::milliseconds after{0};  // from the moment the command was sent
        std::string bytes;
    };
    // Returns the pieces the register sends after a command (CR LF already removed).
    using Responder = std::function<std::vector<Piece>(const std::string& command)>;

    explicit ScriptedTransport(FakeClock& clock);

    // Default: every command is answered at once with "OK" CR EOT.
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    // How the next openings end; a failure gives reason as its cause.
    void setOpenStatus(link::TransportError error, std::string reason = {});
    // The port is lost at the next send, as an unplugged adapter is: before a byte is
    // written, or, with afterWriting, once the command went out (the register never answers
    // it, and the next read finds the port gone). Every later send and read fails until the
    // port is opened anew.
    void loseAtNextSend(std::string reason, bool afterWriting = false);
    // The port hangs up in the read that delivers the last byte waiting.
    void loseWithLastByte(std::string reason) { lossWithLastByte_ = std::move(reason); }
    // Bytes that arrive without a command (a late answer to an earlier one).
    void queueIncoming(Piece piece);

    link::TransportResult openConnection() override;
    link::TransportResult sendData(const std::string& text) override;
    link::Received receiveData(std::chrono::milliseconds maxWait) override;
    void shutdownConnection() override { shutdownCount_++; }

    // Commands as sent, without their CR LF.
    const std::vector<std::string>& sent() const { return sent_; }
    // Bytes exactly as sent, terminators included.
    const std::string& wire() const { return wire_; }
    int openCount() const { return openCount_; }
    int shutdownCount() const { return shutdownCount_; }
    int receiveCalls() const { return receiveCalls_; }

    static std::string okReply() { return std::string("OK\r\x04"); }

    // A factory for Link that hands out this transport (owned by the test) through a proxy.
    link::TransportFactory factory();
    const std::vector<link::LinkTarget>& targets() const { return targets_; }

  private:
    FakeClock& clock_;
    Responder responder_;
    // Bytes by the time they arrive; those due at the same time in the order queued.
    std::multimap<common::Clock::TimePoint, std::string> pending_;
    std::vector<std::string> sent_;
    std::string wire_;
    std::vector<link::LinkTarget> targets_;
    link::TransportResult openResult_;
    // Once lost, every send and read fails with this until the port is opened anew.
    std::optional<link::TransportResult> lost_;
    std::optional<std::pair<std::string, bool>> pendingLoss_;
    std::optional<std::string> lossWithLastByte_;
    int openCount_ = 0;
    int shutdownCount_ = 0;
    int receiveCalls_ = 0;
};

}  // namespace merovan::testing
