#include "core/supervision/link_supervision.h"

#include "core/common/codepage.h"
#include "core/common/texts.h"

namespace merovan::supervision {

namespace texts = common::texts;

namespace {

// "KXCL"; its reply, or why it failed, becomes the main window's reply text.
bool sendClear(jobs::RegisterSession& session, bool quiet, std::string& linkErrorText) {
    link::ExchangeOutcome outcome = session.send("KXCL", quiet);
    linkErrorText = std::move(outcome.reply);
    return outcome.succeeded();
}

}  // namespace

LinkSupervision::Outcome LinkSupervision::tick(jobs::RegisterSession& session,
                                               common::StatusDisplay& display, common::Clock& clock,
                                               std::string& linkErrorText,
                                               const std::function<void()>& beforeAttempt) {
    if (failures_ >= kLimit) {
        if (retryWhileOffline_) {
            // A port that could not be opened costs nothing to try again: it is tried every
            // tick, so a device that appears is found within a second. A register that is
            // silent costs the whole wait, and is asked less often.
            const bool notOpen = session.link().currentTransport() == nullptr;
            if (!lastRetry_ && !notOpen) {
                lastRetry_ = clock.now();
            } else if (notOpen || clock.now() - *lastRetry_ >= *retryWhileOffline_) {
                lastRetry_ = clock.now();
                // Quiet: a register that stays switched off must not fill the log with boxes.
                if (sendClear(session, true, linkErrorText)) {
                    failures_ = 0;
                    lastRetry_.reset();
                    return Outcome::Online;
                }
            }
        }
        display.setStatus(std::string(texts::kStatusOffline));
        display.setCaption(std::string(texts::kCaptionOffline));
        return Outcome::Offline;
    }
    display.setStatus(common::cp1253ToUtf8(linkErrorText));
    if (session.lastStatus() != link::LinkStatus::Success) {
        ++failures_;
        return Outcome::Counted;
    }
    if (beforeAttempt) {
        beforeAttempt();
    }
    display.setStatus(std::string(texts::kStatusSearching));
    if (sendClear(session, false, linkErrorText)) {
        return Outcome::Online;
    }
    ++failures_;
    return Outcome::Failed;
}

}  // namespace merovan::supervision
