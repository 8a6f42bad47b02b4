#include "core/jobs/register_session.h"

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/message_box.h"
#include "core/link/card_reply.h"
#include "core/link/register_errors.h"
#include "core/link/transport_texts.h"

namespace merovan::jobs {
namespace {

constexpr std::string_view kErrorCaption = "Σφάλμα !!!";
constexpr std::string_view kNoAnswerTitle = "Μύνημα Φορολ. Εκτυπωτή";
constexpr std::string_view kLinkDownText = "Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: ";
constexpr std::string_view kLinkBackText = "Ο Φορολογικός Εκτυπωτής απαντά ξανά";
constexpr std::string_view kLateCardText = "Καθυστερημένη απάντηση EFTPOS: ";

}  // namespace

RegisterSession::RegisterSession(link::Link& link, common::Operator& op, common::Clock& clock)
    : link_(link), op_(op), clock_(clock) {}

link::ExchangeOutcome RegisterSession::send(const std::string& command, bool quiet,
                                            int cardAnswerSeconds) {
    quiet_ = quiet;
    const auto began = clock_.now();
    link::ExchangeOutcome outcome = link_.exchange(command, *this, cardAnswerSeconds);
    lastStatus_ = outcome.status;
    tellExchange(outcome, began, cardAnswerSeconds);
    if (outcome.registerSilent && !quiet) {
        const std::string_view text = link::texts::kNoAnswer;
        op_.setCaption(std::string(kErrorCaption) + std::string(text));
        common::showMessageBox(op_, text, common::buttons::kInformation, kNoAnswerTitle);
    }
    if (outcome.cardAnswerLate) {
        lateCardResultFile_ = resultFile_;
    }
    // Only a successful exchange has a reply of its own; after a failure the reply holds a
    // number or a message, never a card terminal's answer.
    if (outcome.succeeded()) {
        if (const auto line = link::cardReplyLine(outcome.reply)) {
            writeResultLine(resultFile_, *line);
        }
    } else {
        logFailure(command, outcome.status);
    }
    return outcome;
}

void RegisterSession::tellExchange(const link::ExchangeOutcome& outcome,
                                   common::Clock::TimePoint began, int cardAnswerSeconds) {
    if (observer_ == nullptr) {
        return;
    }
    observer_->exchangeEnded(clock_.now() - began, link::statusNumber(outcome.status));
    // Only a command given a wait for a card terminal is a card payment.
    if (cardAnswerSeconds <= 0) {
        return;
    }
    using common::CardOutcome;
    if (outcome.cardAnswerLate) {
        observer_->cardPayment(CardOutcome::Late);
    } else if (!outcome.succeeded()) {
        observer_->cardPayment(CardOutcome::Failed);
    } else {
        observer_->cardPayment(link::cardReplyLine(outcome.reply) ? CardOutcome::Paid
                                                                  : CardOutcome::Declined);
    }
}

void RegisterSession::logFailure(const std::string& command, link::LinkStatus status) {
    const int number = link::statusNumber(status);
    if (resultFile_.empty() && number < 0) {
        return;
    }
    writeResultLine(resultFile_,
                    "Err = " + std::to_string(number) + ", [" + command +
                        "] DateTime = " + common::formatDateTime(clock_.localDateTime()));
}

// Outside a job there is no result file: a finished job's must not collect lines that are
// not its own, so the line goes to the program's log instead.
void RegisterSession::writeResultLine(const std::string& path, const std::string& line) {
    if (path.empty()) {
        op_.log(common::cp1253ToUtf8(line));
        return;
    }
    common::appendLine(path, line);
}

void RegisterSession::registerRefused(std::string_view reply) {
    if (quiet_) {
        return;
    }
    const link::RegisterErrorMessage message = link::describeRegisterError(reply);
    op_.setCaption(std::string(kErrorCaption) + message.text);
    common::showMessageBox(op_, "Λάθος : " + message.number + "\r" + message.text,
                           common::buttons::kCritical, "");
}

void RegisterSession::cardWaitShown(bool shown) {
    op_.setCardWaitShown(shown);
}

// The terminal charged the card all the same: the line goes where the payment's own would
// have gone, once, and the operator is told.
void RegisterSession::lateCardAnswer(const std::string& line) {
    if (lateCardResultFile_) {
        writeResultLine(*lateCardResultFile_, line);
    }
    lateCardResultFile_.reset();
    if (observer_ != nullptr) {
        observer_->cardPayment(common::CardOutcome::PaidLate);
    }
    const std::string text = std::string(kLateCardText) + common::cp1253ToUtf8(line);
    op_.log(text);
    common::showMessageBox(op_, text, common::buttons::kExclamation);
}

void RegisterSession::linkStateChanged(const std::string& downReason) {
    if (observer_ != nullptr) {
        observer_->registerReachable(downReason.empty());
    }
    op_.log(downReason.empty() ? std::string(kLinkBackText)
                               : std::string(kLinkDownText) + downReason);
}

}  // namespace merovan::jobs
