// One command exchange: send, await the reply with retries, a card terminal's second
// answer, error replies and the trace.
#include <algorithm>
#include <chrono>
#include <string_view>

#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/text.h"
#include "core/link/card_reply.h"
#include "core/link/link.h"
#include "core/link/trace.h"
#include "core/link/transport_texts.h"

namespace merovan::link {
namespace {

using namespace std::chrono_literals;

constexpr auto kAttemptTime = 5s;
constexpr int kAttempts = 4;
constexpr auto kPauseAfterReply = 100ms;
constexpr auto kPauseAfterAsyncData = 2000ms;
constexpr auto kPauseAfterAcknowledge = 1000ms;
constexpr auto kErrorReplyGrace = 100ms;
// Bytes already waiting are read until none are left, but a line that never falls silent
// must not hold the exchange.
constexpr int kMaxWaitingReads = 64;
// A transport that comes back early with nothing gets this pause, so that the wait can never
// become a busy loop.
constexpr auto kEarlyEmptyPause = 20ms;
constexpr char kEot = '\x04';
constexpr std::string_view kNoAnswerCommand = "KX794ST\r";
// Ends the ccPay line of a card answer that came after its wait.
constexpr std::string_view kLateCardMarker = ";late";

std::chrono::milliseconds timeLeft(common::Clock::TimePoint deadline,
                                   common::Clock::TimePoint now) {
    if (now >= deadline) {
        return 0ms;
    }
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
}

// The register's error number: up to four digits right after "DE". A reply without one is
// still an error, so it gets a status of its own instead of success.
LinkStatus errorStatus(std::string_view reply) {
    const std::string_view digits = reply.substr(2, 4);
    int value = 0;
    std::size_t count = 0;
    while (count < digits.size() && digits[count] >= '0' && digits[count] <= '9') {
        value = value * 10 + (digits[count] - '0');
        ++count;
    }
    return value == 0 ? LinkStatus::UnreadableErrorReply
                      : registerError(static_cast<std::int16_t>(value));
}

}  // namespace

void Link::trace(std::string_view label, std::string_view bytes) {
    std::string line(label);
    line += bytes;
    trace_.trace(common::formatMinuteSecond(clock_.localDateTime()) + common::cp1253ToUtf8(line));
}

std::string Link::receiveUntil(common::Clock::TimePoint deadline) {
    const auto wait = timeLeft(deadline, clock_.now());
    std::string piece = receive(wait);
    if (piece.empty()) {
        const auto left = timeLeft(deadline, clock_.now());
        if (left > 0ms) {
            clock_.sleep(std::min<std::chrono::milliseconds>(left, kEarlyEmptyPause));
        }
    }
    return piece;
}

std::string Link::readWaitingBytes() {
    std::string bytes;
    for (int read = 0; read < kMaxWaitingReads; ++read) {
        const std::string piece = receive(0ms);
        if (piece.empty()) {
            break;
        }
        bytes += piece;
    }
    return bytes;
}

// A late answer to an earlier command would otherwise be taken for this command's reply.
void Link::discardWaitingBytes() {
    std::string stale = readWaitingBytes();
    if (stale.empty()) {
        return;
    }
    // A card answer cut short by this read gets the time the card wait gives its answer.
    const std::string tail = stale.substr(stale.rfind(kEot) + 1);
    if (lateCardAwaited_ && cardReplyLine(tail)) {
        clock_.sleep(kPauseAfterAsyncData);
        stale += readWaitingBytes();
    }
    trace("  discarded: ", renderForTrace(stale));
    if (lateCardAwaited_) {
        takeLateCardAnswers(stale);
    }
}

// A card terminal's answer that comes after its wait still means the card was charged: it is
// told as the ccPay line it would have been, and taken out of the bytes. Any other bytes are
// left where they are.
bool Link::takeLateCardAnswers(std::string& bytes) {
    bool taken = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t eot = bytes.find(kEot, start);
        const std::size_t end = eot == std::string::npos ? bytes.size() : eot + 1;
        const std::string answer =
            common::trim(common::removeAll(bytes.substr(start, end - start), '\r'));
        if (const auto line = cardReplyLine(common::removeAll(answer, kEot))) {
            lateCardAwaited_ = false;
            if (observer_) {
                observer_->lateCardAnswer(*line + std::string(kLateCardMarker));
            }
            bytes.erase(start, end - start);
            taken = true;
        } else {
            start = end;
        }
    }
    return taken;
}

common::Clock::TimePoint Link::attemptDeadline() const {
    const auto deadline = clock_.now() + kAttemptTime;
    return giveUpAt_ ? std::min(deadline, *giveUpAt_) : deadline;
}

bool Link::gaveUp() const {
    return giveUpAt_ && clock_.now() >= *giveUpAt_;
}

ExchangeOutcome Link::runExchange(const std::string& command, int asyncSeconds) {
    // Pieces of earlier attempts stay: a slow register may finish the first answer late.
    std::string buffer;
    bool fresh = true;
    for (int attempt = 0; attempt < kAttempts && !gaveUp(); ++attempt) {
        if (!transport_) {
            if (auto failed = openLink()) {
                noteLinkState(lostReason_);
                return *failed;
            }
            buffer.clear();
            fresh = true;
        }
        if (fresh) {
            // A late answer to an earlier command would otherwise be taken for this reply.
            discardWaitingBytes();
            fresh = false;
        }
        if (send(command)) {
            trace("       send:[", command + "]");
        } else {
            trace("   not sent:[", command + "] " + common::utf8ToCp1253(failure_));
        }
        if (lost_) {
            // A port that is gone carries no reply: open it anew and send again.
            dropTransport(failure_);
            continue;
        }
        if (command == kNoAnswerCommand) {
            return {};
        }
        const auto deadline = attemptDeadline();
        while (true) {
            // An error reply is taken without waiting for its end and never waits for a
            // card terminal; an answer that merely contains "DE" further on is awaited to
            // its EOT like any other.
            if (common::startsWith(buffer, "DE")) {
                noteLinkState({});
                return handleReply(buffer + awaitErrorEnd(buffer, deadline));
            }
            // The card answer awaited in vain may come while this command waits for its own.
            if (lateCardAwaited_ && asyncSeconds <= 0 && buffer.find(kEot) != std::string::npos) {
                const std::string seen = buffer;
                if (takeLateCardAnswers(buffer)) {
                    trace("  discarded: ", renderForTrace(seen));
                    continue;
                }
            }
            if (buffer.find(kEot) != std::string::npos) {
                trace("      reply: ", renderForTrace(buffer));
                noteLinkState({});
                return handleReply(awaitAsyncReply(buffer, asyncSeconds));
            }
            // A reply that came just before the port hung up is taken above all the same.
            if (lost_ || clock_.now() >= deadline) {
                break;
            }
            buffer += receiveUntil(deadline);
        }
        if (lost_) {
            dropTransport(failure_);
        }
    }
    return reportNoReply();
}

// An error reply cut after "DE1" would give the wrong number: the rest of it is given a
// moment to come, but no more than that.
std::string Link::awaitErrorEnd(const std::string& start, common::Clock::TimePoint deadline) {
    const auto graceEnd = std::min(deadline, clock_.now() + kErrorReplyGrace);
    std::string rest;
    while (start.find(kEot) == std::string::npos && rest.find(kEot) == std::string::npos &&
           clock_.now() < graceEnd) {
        rest += receiveUntil(graceEnd);
    }
    return rest;
}

std::string Link::awaitAsyncReply(const std::string& firstReply, int asyncSeconds) {
    if (asyncSeconds <= 0) {
        return firstReply;
    }
    lateCardAwaited_ = false;
    observer_->cardWaitShown(true);
    cardWaitShown_ = true;
    const auto deadline = clock_.now() + std::chrono::seconds(asyncSeconds);
    while (clock_.now() < deadline && !lost_) {
        const std::string first = receiveUntil(deadline);
        if (!first.empty()) {
            // The terminal's answer comes in pieces; give it time to arrive whole.
            clock_.sleep(kPauseAfterAsyncData);
            std::string buffer = first + readWaitingBytes();
            trace("reply async: ", renderForTrace(buffer));
            hideCardWait();
            return buffer;
        }
    }
    lateCardAwaited_ = true;
    cardWaitRanOut_ = true;
    return firstReply;
}

void Link::hideCardWait() {
    if (cardWaitShown_) {
        observer_->cardWaitShown(false);
        cardWaitShown_ = false;
    }
}

ExchangeOutcome Link::handleReply(std::string buffer) {
    hideCardWait();
    trace("      reply: ", renderForTrace(buffer));
    buffer = common::removeAll(common::removeAll(buffer, '\r'), kEot);
    clock_.sleep(kPauseAfterReply);
    ExchangeOutcome outcome;
    if (common::startsWith(buffer, "DE")) {
        const LinkStatus status = errorStatus(buffer);
        observer_->registerRefused(buffer);
        send("KXCL");
        clock_.sleep(kPauseAfterAcknowledge);
        if (std::string swallowed = readWaitingBytes(); lateCardAwaited_) {
            takeLateCardAnswers(swallowed);
        }
        outcome = {status, std::to_string(statusNumber(status))};
    } else {
        outcome = {LinkStatus::Success, buffer};
    }
    // A port that hung up with the reply is opened anew at the next exchange.
    if (lost_) {
        dropTransport(failure_);
    }
    trace(" -----------", {});
    return outcome;
}

ExchangeOutcome Link::reportNoReply() {
    // A port that was lost on the way, or a socket that heard nobody there, says more than
    // the silence itself.
    const std::string& reason = lostReason_.empty() && transport_ ? failure_ : lostReason_;
    noteLinkState(reason.empty() ? std::string(texts::kNoAnswer) : reason);
    ExchangeOutcome outcome{LinkStatus::NoAnswer, common::utf8ToCp1253(texts::kNoAnswer)};
    outcome.registerSilent = true;
    return outcome;
}

}  // namespace merovan::link
