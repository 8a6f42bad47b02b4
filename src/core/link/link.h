#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/clock.h"
#include "core/common/trace_sink.h"
#include "core/link/command_sender.h"
#include "core/link/exchange_observer.h"
#include "core/link/link_status.h"
#include "core/link/link_target.h"
#include "core/link/transport.h"

namespace merovan::link {

// The one link to the register and the protocol state that goes with it: the open transport,
// when to open it anew, whether a card terminal's answer is still outstanding. Every command
// the driver gives the register goes through exchange; nothing else touches a transport. The
// link presents nothing: it writes the live trace and tells the observer what happens.
class Link {
  public:
    // Only op's trace is used.
    Link(common::TraceSink& trace, common::Clock& clock, TransportFactory factory);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Sends one command and waits for its reply. asyncSeconds is the extra wait for a card
    // terminal's second answer.
    ExchangeOutcome exchange(const std::string& command, ExchangeObserver& observer,
                             int asyncSeconds = 0);

    const std::string& linkAddress() const { return linkAddress_; }
    void setLinkAddress(std::string address) { linkAddress_ = std::move(address); }

    // Closes the link at program end; errors are ignored.
    void closeLink();

    // No exchange waits past this moment: one that is still waiting then ends as if the
    // register had not answered. For a caller that waits for the register only so long;
    // none: no limit.
    void setGiveUpAt(std::optional<common::Clock::TimePoint> at) { giveUpAt_ = at; }

    // Why the register cannot be reached, as last told (UTF-8): the port that will not
    // open, the address that cannot be bound, no answer. Empty while it answers.
    const std::string& downReason() const { return downReason_; }

    // Opens the port when none is open; false when it cannot be (the reason is told once
    // and kept in downReason). Sends nothing.
    bool ensureOpen(ExchangeObserver& observer);

    Transport* currentTransport() { return transport_.get(); }
    void setCurrentTransport(std::unique_ptr<Transport> transport) {
        transport_ = std::move(transport);
    }

    // Finds the local IPv4 address recorded on a network transport; none leaves it empty.
    void setLocalAddressLookup(std::function<std::string()> lookup) {
        localAddressLookup_ = std::move(lookup);
    }

  private:
    LinkTarget targetFor(const std::string& address) const;
    LinkTarget networkTarget(const std::string& address) const;
    // Opens the transport; none when it opened, else the failure (nothing is left open).
    std::optional<ExchangeOutcome> openLink();
    void dropTransport(const std::string& reason);
    ExchangeOutcome runExchange(const std::string& command, int asyncSeconds);
    common::Clock::TimePoint attemptDeadline() const;
    bool gaveUp() const;
    // The transport calls of an exchange; a failure is kept in failure_ and lost_.
    bool send(const std::string& command);
    std::string receive(std::chrono::milliseconds maxWait);
    std::string awaitErrorEnd(const std::string& start, common::Clock::TimePoint deadline);
    std::string awaitAsyncReply(const std::string& firstReply, int asyncSeconds);
    ExchangeOutcome handleReply(std::string buffer);
    void hideCardWait();
    void discardWaitingBytes();
    std::string readWaitingBytes();
    std::string receiveUntil(common::Clock::TimePoint deadline);
    ExchangeOutcome reportNoReply();
    // Tells why the register cannot be reached, once per change of reason; empty: it answers.
    void noteLinkState(const std::string& reason);
    bool takeLateCardAnswers(std::string& bytes);
    void trace(std::string_view label, std::string_view bytes);

    common::TraceSink& trace_;
    common::Clock& clock_;
    TransportFactory factory_;
    std::function<std::string()> localAddressLookup_;
    std::unique_ptr<Transport> transport_;
    // The observer of the exchange that runs; none between exchanges.
    ExchangeObserver* observer_ = nullptr;
    bool cardWaitShown_ = false;
    // A card terminal did not answer within its wait and its answer may still come.
    bool lateCardAwaited_ = false;
    // This exchange's card wait ran out.
    bool cardWaitRanOut_ = false;
    std::string linkAddress_;
    std::optional<common::Clock::TimePoint> giveUpAt_;
    std::string downReason_;
    // Why the transport failed last during this exchange, and whether it is gone.
    std::string failure_;
    bool lost_ = false;
    // Why the transport was dropped during this exchange, kept after it was.
    std::string lostReason_;
};

}  // namespace merovan::link
