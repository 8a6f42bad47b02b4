#include "core/supervision/link_supervision.h"

#include "core/common/codepage.h"
#include "core/common/texts.h"

namespace merovan::supervision {

namespace texts = common::texts;

LinkSupervision::Outcome LinkSupervision::tick(link::Link& link, common::StatusDisplay& display,
                                               common::Clock& clock, std::string& linkErrorText,
                                               const std::function<void()>& beforeAttempt) {
    if (failures_ >= kLimit) {
        if (retryWhileOffline_) {
            // A port that could not be opened costs nothing to try again: it is tried every
            // tick, so a device that appears is found within a second. A register that is
            // silent costs the whole wait, and is asked less often.
            const bool notOpen = link.currentTransport() == nullptr;
            if (!lastRetry_ && !notOpen) {
                lastRetry_ = clock.now();
            } else if (notOpen || clock.now() - *lastRetry_ >= *retryWhileOffline_) {
                lastRetry_ = clock.now();
                // Quiet: a register that stays switched off must not fill the log with boxes.
                if (link.sendCommand("KXCL", linkErrorText, true) == 0) {
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
    if (link.registerStatus() != 0) {
        ++failures_;
        return Outcome::Counted;
    }
    if (beforeAttempt) {
        beforeAttempt();
    }
    display.setStatus(std::string(texts::kStatusSearching));
    if (link.sendCommand("KXCL", linkErrorText, false) == 0) {
        return Outcome::Online;
    }
    ++failures_;
    return Outcome::Failed;
}

}  // namespace merovan::supervision
