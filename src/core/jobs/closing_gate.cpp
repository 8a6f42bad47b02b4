#include "core/jobs/closing_gate.h"

namespace merovan::jobs {

bool ClosingGate::mayClose(link::Link& link, const std::string& command) {
    if (state_ == State::Unasked) {
        state_ = !mark_ || mark_() ? State::Allowed : State::Refused;
        if (state_ == State::Refused) {
            link.setRegisterStatus(kClosingNotRecorded);
            link.logFailure(command, {});
            std::string reply;
            link.sendCommand("KXVOID", reply, true);
        }
    }
    return state_ == State::Allowed;
}

}  // namespace merovan::jobs
