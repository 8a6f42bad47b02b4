#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/clock.h"
#include "core/common/operator.h"
#include "core/link/link_target.h"
#include "core/link/transport.h"

namespace merovan::link {

// Status of an error reply whose number cannot be read ("DE", "DEX1"): still a failure,
// never 0, and not a number the register's error table knows.
inline constexpr std::int16_t kUnreadableErrorStatus = 9999;
// No complete reply in the time allowed, or no way to send the command at all.
inline constexpr std::int16_t kNoReplyStatus = -4;

// The one link to the register and the exchange state that goes with it: the open transport,
// registerStatus, the current job's result file. Every command the driver gives the register
// goes through sendCommand; nothing else touches a transport.
class Link {
  public:
    Link(common::Operator& op, common::Clock& clock, TransportFactory factory);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Sends one command and waits for its reply. Returns registerStatus after the exchange:
    // 0 success, a register error number, -1/-2 port failures, -4 no answer. The reply (code
    // page 1253 bytes, CR and EOT removed) or the failure text lands in reply. asyncSeconds
    // is the extra wait for a card terminal's second answer; errorLog empty means resFile.
    std::int16_t sendCommand(const std::string& command, std::string& reply, bool quiet,
                             int asyncSeconds = 0, const std::string& errorLog = {});

    // Appends the failure log line of command with registerStatus; errorLog empty means
    // resFile, and no result file means no line.
    void logFailure(const std::string& command, const std::string& errorLog);

    std::int16_t registerStatus() const { return registerStatus_; }
    void setRegisterStatus(std::int16_t status) { registerStatus_ = status; }

    // The running job's result file; empty between jobs, when failures go to the log.
    const std::string& resFile() const { return resFile_; }
    void setResFile(std::string path) { resFile_ = std::move(path); }

    const std::string& linkAddress() const { return linkAddress_; }
    void setLinkAddress(std::string address) { linkAddress_ = std::move(address); }

    // Closes the link at program end; errors are ignored.
    void closeLink();

    // No exchange waits past this moment: one that is still waiting then ends as if the
    // register had not answered. For a caller that waits for the register only so long;
    // none: no limit.
    void setGiveUpAt(std::optional<common::Clock::TimePoint> at) { giveUpAt_ = at; }

    // Why the register cannot be reached, as last logged (UTF-8): the port that will not
    // open, the address that cannot be bound, no answer. Empty while it answers.
    const std::string& downReason() const { return downReason_; }

    // Opens the port when none is open; false when it cannot be (the reason is logged once
    // and kept in downReason). Sends nothing.
    bool ensureOpen();

    Transport* currentTransport() { return transport_.get(); }
    void setCurrentTransport(std::unique_ptr<Transport> transport) {
        transport_ = std::move(transport);
    }

    // Finds the local IPv4 address recorded on a network transport; none leaves it empty.
    void setLocalAddressLookup(std::function<std::string()> lookup) {
        localAddressLookup_ = std::move(lookup);
    }

  private:
    // How one exchange ended: registerStatus and the reply or failure text.
    struct Outcome {
        std::int16_t status = 0;
        std::string reply;
    };

    LinkTarget targetFor(const std::string& address) const;
    LinkTarget networkTarget(const std::string& address) const;
    // Opens the transport; none when it opened, else the failure (nothing is left open).
    std::optional<Outcome> openLink();
    void dropTransport();
    Outcome runExchange(const std::string& command, bool quiet, int asyncSeconds,
                        const std::string& cardLog);
    common::Clock::TimePoint attemptDeadline() const;
    bool gaveUp() const;
    std::string awaitErrorEnd(const std::string& start, common::Clock::TimePoint deadline);
    std::string awaitAsyncReply(const std::string& firstReply, int asyncSeconds,
                                const std::string& cardLog);
    Outcome handleReply(std::string buffer, bool quiet);
    void hideCardWait();
    void discardWaitingBytes();
    std::string readWaitingBytes();
    std::string receiveUntil(common::Clock::TimePoint deadline);
    Outcome reportNoReply(bool quiet);
    // Logs why the register cannot be reached, once per change of reason; empty: it answers.
    void noteLinkState(const std::string& reason);
    void recordCardReply(const std::string& reply);
    bool takeLateCardAnswers(std::string& bytes);
    void recordLateCardAnswer(const std::string& line);
    void writeResultLine(const std::string& path, const std::string& line);
    void trace(std::string_view label, std::string_view bytes);

    common::Operator& operator_;
    common::Clock& clock_;
    TransportFactory factory_;
    std::function<std::string()> localAddressLookup_;
    std::unique_ptr<Transport> transport_;
    bool cardWaitShown_ = false;
    // The result file of the card payment whose terminal did not answer within its wait;
    // none while no answer is outstanding.
    std::optional<std::string> lateCardLog_;
    std::int16_t registerStatus_ = 0;
    std::string resFile_;
    std::string linkAddress_;
    std::optional<common::Clock::TimePoint> giveUpAt_;
    std::string downReason_;
    // Why the transport failed during this exchange, kept after it was dropped.
    std::string lostReason_;
};

}  // namespace merovan::link
