#include "core/link/link.h"

#include "core/common/codepage.h"
#include "core/common/text.h"
#include "core/link/transport_texts.h"

namespace merovan::link {
namespace {

// "comN" as written (lower case) and device paths are serial ports; anything else is a host.
bool isSerialAddress(std::string_view address) {
    return common::left(address, 3) == "com" || common::startsWith(address, "/dev/");
}

// A serial port that will not open or be set up reaches the result file with its own status,
// and the reply names the link address.
ExchangeOutcome serialOpenFailure(TransportError error, const std::string& linkAddress) {
    if (error == TransportError::PortSetUpRefused) {
        return {LinkStatus::PortSetUpRefused,
                common::utf8ToCp1253(texts::kPortSetUpFailed) + linkAddress};
    }
    return {LinkStatus::PortUnavailable, common::utf8ToCp1253(texts::kPortFailed) + linkAddress};
}

}  // namespace

Link::Link(common::TraceSink& trace, common::Clock& clock, TransportFactory factory)
    : trace_(trace), clock_(clock), factory_(std::move(factory)) {}

Link::~Link() = default;

LinkTarget Link::targetFor(const std::string& address) const {
    LinkTarget target;
    target.linkAddress = address;
    if (isSerialAddress(address)) {
        target.kind = LinkTarget::Kind::Serial;
        return target;
    }
    return networkTarget(address);
}

LinkTarget Link::networkTarget(const std::string& address) const {
    LinkTarget target;
    target.linkAddress = address;
    target.kind = LinkTarget::Kind::Network;
    const std::size_t colon = address.find(':');
    target.remoteHost = address.substr(0, colon);
    if (colon != std::string::npos) {
        target.remotePort = address.substr(colon + 1);
    }
    if (localAddressLookup_) {
        target.localHostIP = localAddressLookup_();
    }
    return target;
}

std::optional<ExchangeOutcome> Link::openLink() {
    const LinkTarget target = targetFor(linkAddress_);
    std::unique_ptr<Transport> transport = factory_(target);
    const TransportResult opened = transport->openConnection();
    if (opened.ok()) {
        transport_ = std::move(transport);
        return std::nullopt;
    }
    // Nothing stays open after a failed opening: the next exchange tries again, so a port
    // that appears later, or a local port another program lets go, is found then.
    transport->shutdownConnection();
    const bool serial = target.kind == LinkTarget::Kind::Serial;
    ExchangeOutcome failed = serialOpenFailure(opened.error, target.linkAddress);
    lostReason_ = opened.reason.empty() ? common::cp1253ToUtf8(failed.reply) : opened.reason;
    trace("  not open: ", common::utf8ToCp1253(lostReason_));
    if (serial) {
        return failed;
    }
    // The network failed to open: to its callers the register does not answer, as it never
    // could; the status box shows why.
    return ExchangeOutcome{LinkStatus::NoAnswer, common::utf8ToCp1253(lostReason_)};
}

bool Link::ensureOpen(ExchangeObserver& observer) {
    observer_ = &observer;
    if (transport_) {
        if (const TransportResult line = transport_->hungUp(); line.lost()) {
            dropTransport(line.reason);
        }
    }
    bool open = transport_ != nullptr;
    if (!open) {
        lostReason_.clear();
        open = !openLink();
        if (!open) {
            noteLinkState(lostReason_);
        }
    }
    observer_ = nullptr;
    return open;
}

void Link::dropTransport(const std::string& reason) {
    lostReason_ = reason;
    transport_->shutdownConnection();
    transport_.reset();
    lost_ = false;
    // Said even when the port opened anew at once answers: a port that hangs up is news.
    noteLinkState(lostReason_);
}

ExchangeOutcome Link::exchange(const std::string& command, ExchangeObserver& observer,
                               int asyncSeconds) {
    observer_ = &observer;
    lostReason_.clear();
    failure_.clear();
    lost_ = false;
    cardWaitRanOut_ = false;
    ExchangeOutcome outcome = runExchange(command, asyncSeconds);
    outcome.cardAnswerLate = cardWaitRanOut_;
    observer_ = nullptr;
    return outcome;
}

bool Link::send(const std::string& command) {
    const TransportResult sent = transport_->sendData(command);
    // The first loss is the cause; what fails after it only follows from it.
    if (!sent.ok() && !lost_) {
        failure_ = sent.reason;
        lost_ = sent.lost();
    }
    return sent.ok();
}

std::string Link::receive(std::chrono::milliseconds maxWait) {
    Received received = transport_->receiveData(maxWait);
    // The first loss is the cause; what fails after it only follows from it.
    if (!received.result.ok() && !lost_) {
        failure_ = received.result.reason;
        lost_ = received.result.lost();
    }
    return std::move(received.bytes);
}

void Link::noteLinkState(const std::string& reason) {
    if (reason == downReason_) {
        return;
    }
    if (observer_) {
        observer_->linkStateChanged(reason);
    }
    downReason_ = reason;
}

void Link::closeLink() {
    if (!transport_) {
        return;
    }
    transport_->shutdownConnection();
    // A serial port is dropped so that a later exchange opens it again; the network
    // transport object is kept.
    const std::string address = common::asciiLower(linkAddress_);
    if (isSerialAddress(address)) {
        transport_.reset();
    }
}

}  // namespace merovan::link
