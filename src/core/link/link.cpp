#include "core/link/link.h"

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/text.h"
#include "core/link/card_reply.h"

namespace merovan::link {
namespace {

// "comN" as written (lower case) and device paths are serial ports; anything else is a host.
bool IsSerialAddress(std::string_view address) {
    return common::left(address, 3) == "com" || common::startsWith(address, "/dev/");
}

}  // namespace

Link::Link(driver::Operator& op, driver::Clock& clock, TransportFactory factory)
    : operator_(op), clock_(clock), factory_(std::move(factory)) {}

Link::~Link() = default;

LinkTarget Link::TargetFor(const std::string& address) const {
    LinkTarget target;
    target.linkAddress = address;
    if (IsSerialAddress(address)) {
        target.kind = LinkTarget::Kind::Serial;
        return target;
    }
    return NetworkTarget(address);
}

LinkTarget Link::NetworkTarget(const std::string& address) const {
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

void Link::OpenLink() {
    const LinkTarget target = TargetFor(linkAddress_);
    transport_ = factory_(target);
    const std::int16_t opened = transport_->openConnection();
    // A serial failure stops the command; a network one is only reported here, and the
    // command still goes out and fails in the exchange.
    registerStatus_ = target.kind == LinkTarget::Kind::Serial ? transport_->result() : opened;
}

std::int16_t Link::SendCommand(const std::string& command, std::string& reply, bool quiet,
                               int asyncSeconds, const std::string& errorLog) {
    if (!transport_) {
        OpenLink();
        reply = transport_->exResult();
    } else {
        transport_->setResult(0);
        transport_->setExResult({});
    }
    if (transport_->result() != 0) {
        registerStatus_ = transport_->result();
        reply = transport_->exResult();
        return registerStatus_;
    }

    RunExchange(command, quiet, asyncSeconds, errorLog.empty() ? resFile_ : errorLog);
    registerStatus_ = transport_->result();
    reply = transport_->exResult();
    // Only a successful exchange has a reply of its own; after a failure the reply holds a
    // number or a message, never a card terminal's answer.
    if (registerStatus_ == 0) {
        RecordCardReply(reply);
    }
    if (registerStatus_ != 0) {
        LogFailure(command, errorLog);
    }
    return registerStatus_;
}

void Link::RecordCardReply(const std::string& reply) {
    if (const auto line = CardReplyLine(reply)) {
        writeResultLine(resFile_, *line);
    }
}

void Link::LogFailure(const std::string& command, const std::string& errorLog) {
    writeResultLine(errorLog.empty() ? resFile_ : errorLog,
                    "Err = " + std::to_string(registerStatus_) + ", [" + command +
                        "] DateTime = " + common::formatDateTime(clock_.localDateTime()));
}

// Outside a job there is no result file: a finished job's must not collect lines that are
// not its own, so the line goes to the program's log instead.
void Link::writeResultLine(const std::string& path, const std::string& line) {
    if (path.empty()) {
        operator_.log(common::cp1253ToUtf8(line));
        return;
    }
    common::AppendLine(path, line);
}

void Link::CloseLink() {
    if (!transport_) {
        return;
    }
    transport_->shutdownConnection();
    // A serial port is dropped so that a later exchange opens it again; the network
    // transport object is kept.
    const std::string address = common::asciiLower(linkAddress_);
    if (IsSerialAddress(address)) {
        transport_.reset();
    }
}

cPortProp& Link::GetPortProps() {
    if (!portProps_) {
        portProps_ = std::make_unique<cPortProp>([this]() -> std::unique_ptr<Transport> {
            return factory_(NetworkTarget(linkAddress_));
        });
    }
    return *portProps_;
}

}  // namespace merovan::link
