#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "support/scripted_transport.h"

namespace merovan::testing {

// A register for the job fixtures: it keeps an open table and counts receipts as a register
// would, and answers chosen commands with chosen replies (errors, card terminal answers).
class FixtureRegister {
  public:
    // Replies to a command, used in order; the last one stays. The reply gets CR EOT.
    void addReply(const std::string& command, std::string reply);
    // A second answer, the given time after the first reply (a card terminal's).
    void addSecondAnswer(const std::string& command, std::chrono::seconds after, std::string reply);

    std::vector<ScriptedTransport::Piece> respond(const std::string& command);

  private:
    std::string defaultReply(const std::string& command);

    std::map<std::string, std::deque<std::string>> replies_;
    std::map<std::string, std::pair<std::chrono::seconds, std::string>> secondAnswers_;
    int openTable_ = 0;
    int receipts_ = 340;
};

}  // namespace merovan::testing
