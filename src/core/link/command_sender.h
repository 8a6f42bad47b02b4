#pragma once

#include <string>

#include "core/link/link_status.h"

namespace merovan::link {

// How one exchange ended.
struct ExchangeOutcome {
    LinkStatus status = LinkStatus::Success;
    // The register's answer (code page 1253, CR and EOT removed); after a failure the text
    // handed on in its place: the register's error number, the no-answer text or the port's
    // failure.
    std::string reply;
    // The card terminal did not answer within its wait: its answer may still come, and will
    // be told as a late card answer.
    bool cardAnswerLate = false;
    // The command was sent and no reply came in the time allowed (NoAnswer for a link that
    // could not even be opened leaves this false).
    bool registerSilent = false;

    bool succeeded() const { return status == LinkStatus::Success; }
};

// Sends one command to the register and hands back its outcome; what the operator sees of it
// and what the result file gets is the implementation's part.
class CommandSender {
  public:
    virtual ~CommandSender() = default;

    // quiet: a refusal or silence is not shown to the operator (the result file still gets
    // its line). cardAnswerSeconds: the extra wait for a card terminal's second answer.
    virtual ExchangeOutcome send(const std::string& command, bool quiet = false,
                                 int cardAnswerSeconds = 0) = 0;
};

}  // namespace merovan::link
