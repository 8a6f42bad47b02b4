#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace merovan::jobs {

class RegisterSession;

// Stands before every command of one job that may close its receipt (a payment, the
// table-close that prints it). The first such command asks the closing mark; later ones
// pass without asking again. When the mark could not be made, no closing command of the job
// is sent: the first gets an "Err = -5" line and the open receipt is voided, so that a crash
// cannot leave a receipt that nobody knows was issued.
class ClosingGate {
  public:
    explicit ClosingGate(std::function<bool()> mark) : mark_(std::move(mark)) {}

    // Whether command may be sent; the refusal's line and void are done here.
    bool mayClose(RegisterSession& session, const std::string& command);

  private:
    enum class State { Unasked, Allowed, Refused };

    std::function<bool()> mark_;
    State state_ = State::Unasked;
};

}  // namespace merovan::jobs
