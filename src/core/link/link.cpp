#include "core/link/link.h"

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/text.h"
#include "core/link/card_reply.h"

namespace merovan::link {
namespace {

constexpr std::string_view kLinkDownText = "Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: ";
constexpr std::string_view kLinkBackText = "Ο Φορολογικός Εκτυπωτής απαντά ξανά";

// "comN" as written (lower case) and device paths are serial ports; anything else is a host.
bool isSerialAddress(std::string_view address) {
    return common::left(address, 3) == "com" || common::startsWith(address, "/dev/");
}

}  // namespace

Link::Link(common::Operator& op, common::Clock& clock, TransportFactory factory)
    : operator_(op), clock_(clock), factory_(std::move(factory)) {}

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

std::optional<Link::Outcome> Link::openLink() {
    const LinkTarget target = targetFor(linkAddress_);
    std::unique_ptr<Transport> transport = factory_(target);
    const std::int16_t opened = transport->openConnection();
    const bool serial = target.kind == LinkTarget::Kind::Serial;
    const std::int16_t status = serial ? transport->result() : opened;
    if (status == 0 && !transport->lost()) {
        transport_ = std::move(transport);
        return std::nullopt;
    }
    // Nothing stays open after a failed opening: the next exchange tries again, so a port
    // that appears later, or a local port another program lets go, is found then.
    lostReason_ = transport->failureReason();
    if (lostReason_.empty()) {
        lostReason_ = common::cp1253ToUtf8(transport->exResult());
    }
    transport->shutdownConnection();
    trace("  not open: ", common::utf8ToCp1253(lostReason_));
    if (serial) {
        return Outcome{status, transport->exResult()};
    }
    // The network failed to open: to its callers the register does not answer, as it never
    // could; the status box shows why.
    return Outcome{kNoReplyStatus, common::utf8ToCp1253(lostReason_)};
}

bool Link::ensureOpen() {
    if (transport_ && transport_->hungUp()) {
        dropTransport();
    }
    if (transport_) {
        return true;
    }
    lostReason_.clear();
    if (openLink()) {
        noteLinkState(lostReason_);
        return false;
    }
    return true;
}

void Link::dropTransport() {
    lostReason_ = transport_->failureReason();
    transport_->shutdownConnection();
    transport_.reset();
    // Said even when the port opened anew at once answers: a port that hangs up is news.
    noteLinkState(lostReason_);
}

std::int16_t Link::sendCommand(const std::string& command, std::string& reply, bool quiet,
                               int asyncSeconds, const std::string& errorLog) {
    lostReason_.clear();
    if (transport_) {
        transport_->forgetPassingFailure();
    }
    const Outcome outcome =
        runExchange(command, quiet, asyncSeconds, errorLog.empty() ? resFile_ : errorLog);
    registerStatus_ = outcome.status;
    reply = outcome.reply;
    if (transport_) {
        transport_->setResult(outcome.status);
        transport_->setExResult(outcome.reply);
    }
    // Only a successful exchange has a reply of its own; after a failure the reply holds a
    // number or a message, never a card terminal's answer.
    if (registerStatus_ == 0) {
        recordCardReply(reply);
    } else {
        logFailure(command, errorLog);
    }
    return registerStatus_;
}

void Link::noteLinkState(const std::string& reason) {
    if (reason == downReason_) {
        return;
    }
    if (reason.empty()) {
        operator_.log(std::string(kLinkBackText));
    } else {
        operator_.log(std::string(kLinkDownText) + reason);
    }
    downReason_ = reason;
}

void Link::recordCardReply(const std::string& reply) {
    if (const auto line = cardReplyLine(reply)) {
        writeResultLine(resFile_, *line);
    }
}

void Link::logFailure(const std::string& command, const std::string& errorLog) {
    const std::string& path = errorLog.empty() ? resFile_ : errorLog;
    // Outside a job a link that cannot be reached is logged once per reason (noteLinkState);
    // a line for every supervision attempt would bury the log.
    if (path.empty() && registerStatus_ < 0) {
        return;
    }
    writeResultLine(path, "Err = " + std::to_string(registerStatus_) + ", [" + command +
                              "] DateTime = " + common::formatDateTime(clock_.localDateTime()));
}

// Outside a job there is no result file: a finished job's must not collect lines that are
// not its own, so the line goes to the program's log instead.
void Link::writeResultLine(const std::string& path, const std::string& line) {
    if (path.empty()) {
        operator_.log(common::cp1253ToUtf8(line));
        return;
    }
    common::appendLine(path, line);
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
