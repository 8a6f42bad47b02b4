#include "core/jobs/closing_gate.h"

#include "core/jobs/register_session.h"

namespace merovan::jobs {

bool ClosingGate::mayClose(RegisterSession& session, const std::string& command) {
    if (state_ == State::Unasked) {
        state_ = !mark_ || mark_() ? State::Allowed : State::Refused;
        if (state_ == State::Refused) {
            session.logFailure(command, link::LinkStatus::ClosingNotRecorded);
            session.send("KXVOID", true);
        }
    }
    return state_ == State::Allowed;
}

}  // namespace merovan::jobs
