#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/driver/clock.h"
#include "core/driver/operator.h"
#include "core/link/link_target.h"
#include "core/link/transport.h"

namespace merovan::link {

// The one link to the register and the exchange state that goes with it: the open transport,
// registerStatus, the current job's result file. Every command the driver gives the register
// goes through SendCommand; nothing else touches a transport.
class Link {
public:
    Link(driver::Operator& op, driver::Clock& clock, TransportFactory factory);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Sends one command and waits for its reply. Returns registerStatus after the exchange:
    // 0 success, a register error number, -1/-2 port failures, -4 no answer. The reply (code
    // page 1253 bytes, CR and EOT removed) or the failure text lands in reply. asyncSeconds
    // is the extra wait for a card terminal's second answer; errorLog empty means resFile.
    std::int16_t SendCommand(const std::string& command, std::string& reply, bool quiet,
                             int asyncSeconds = 0, const std::string& errorLog = {});

    std::int16_t registerStatus() const { return registerStatus_; }
    void setRegisterStatus(std::int16_t status) { registerStatus_ = status; }

    const std::string& resFile() const { return resFile_; }
    void setResFile(std::string path) { resFile_ = std::move(path); }

    const std::string& linkAddress() const { return linkAddress_; }
    void setLinkAddress(std::string address) { linkAddress_ = std::move(address); }

    // Closes the link at program end; errors are ignored.
    void CloseLink();

    Transport* currentTransport() { return transport_.get(); }

private:
    driver::Operator& operator_;
    driver::Clock& clock_;
    TransportFactory factory_;
    std::unique_ptr<Transport> transport_;
    std::int16_t registerStatus_ = 0;
    std::string resFile_;
    std::string linkAddress_;
};

}  // namespace merovan::link
