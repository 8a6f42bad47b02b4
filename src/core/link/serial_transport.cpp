// What both platforms' serial transports share: the parts of the link address and how a
// failed opening is reported.
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

void SerialTransport::startOpening() {
    result_ = 0;
    exResult_.clear();
    clearFailure();
    shutdownConnection();
}

// A port that is not set up is never used: it stays closed, and the next opening tries anew.
std::int16_t SerialTransport::refuseOpening(std::int16_t code, std::string reason) {
    result_ = code;
    exResult_ = common::utf8ToCp1253(code == -1 ? texts::kPortFailed : texts::kPortSetUpFailed) +
                linkAddress_;
    setLost(std::move(reason));
    return result_;
}

}  // namespace merovan::link
