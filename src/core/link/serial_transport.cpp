// What both platforms' serial transports share: the parts of the link address and how a
// failure is reported.
#include "core/link/serial_transport.h"
#include "core/common/codepage.h"
#include "core/link/transport_texts.h"

namespace merovan::link {

std::string SerialTransport::baud() const {
    const auto colon = linkAddress_.find(':');
    return colon == std::string::npos ? "" : linkAddress_.substr(colon + 1);
}

std::string SerialTransport::shownDevice() const {
    return common::cp1253ToUtf8(device_);
}

// A port that is not set up is never used: it stays closed, and the next opening tries anew.
TransportResult SerialTransport::refuseOpening(TransportError error, std::string reason) {
    shutdownConnection();
    return {error, std::move(reason)};
}

TransportResult SerialTransport::markLost(const std::string& why) {
    shutdownConnection();
    return {TransportError::Gone, texts::portLost(shownDevice(), why)};
}

}  // namespace merovan::link
