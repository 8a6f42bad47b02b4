// Stand-in for the command exchange until it lands on main; removed at the merge.
#include "core/common/codepage.h"
#include "core/link/link.h"

namespace merovan::link {

Link::Link(driver::Operator& op, driver::Clock& clock, TransportFactory factory)
    : operator_(op), clock_(clock), factory_(std::move(factory)) {}
Link::~Link() = default;

std::int16_t Link::SendCommand(const std::string& command, std::string& reply, bool quiet, int,
                               const std::string&) {
    if (!transport_) {
        LinkTarget target;
        target.linkAddress = linkAddress_;
        transport_ = factory_(target);
        registerStatus_ = transport_->openConnection();
        if (registerStatus_ != 0) {
            reply = transport_->exResult();
            return registerStatus_;
        }
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        transport_->sendData(command);
        std::string buffer;
        const auto deadline = clock_.now() + std::chrono::seconds(5);
        while (buffer.find('\x04') == std::string::npos && clock_.now() < deadline) {
            buffer += transport_->receiveData(std::chrono::milliseconds(250));
        }
        if (buffer.find('\x04') != std::string::npos) {
            std::erase(buffer, '\r');
            std::erase(buffer, '\x04');
            if (buffer.starts_with("DE")) {
                registerStatus_ = static_cast<std::int16_t>(std::stoi(buffer.substr(2, 4)));
                reply = buffer.substr(2);
                transport_->sendData("KXCL");
                transport_->receiveData(std::chrono::milliseconds(1000));
            } else {
                registerStatus_ = 0;
                reply = buffer;
            }
            return registerStatus_;
        }
    }
    registerStatus_ = -4;
    reply = common::utf8ToCp1253("Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !");
    if (!quiet) {
        operator_.showMessage({reply, 64, "Μύνημα Φορολ. Εκτυπωτή"});
    }
    return registerStatus_;
}

void Link::CloseLink() {
    if (transport_) {
        transport_->shutdownConnection();
    }
}

}  // namespace merovan::link
