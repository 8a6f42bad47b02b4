#include "support/scripted_transport.h"

#include <algorithm>

namespace merovan::testing {
namespace {

// Lets Link own a transport while the test keeps the scripted one.
class TransportProxy final : public link::Transport {
  public:
    explicit TransportProxy(ScriptedTransport& target) : target_(target) {}
    link::TransportResult openConnection() override { return target_.openConnection(); }
    link::TransportResult sendData(const std::string& text) override {
        return target_.sendData(text);
    }
    link::Received receiveData(std::chrono::milliseconds maxWait) override {
        return target_.receiveData(maxWait);
    }
    void shutdownConnection() override { target_.shutdownConnection(); }

  private:
    ScriptedTransport& target_;
};

link::TransportResult gone(std::string reason) {
    return {link::TransportError::Gone, std::move(reason)};
}

}  // namespace

ScriptedTransport::ScriptedTransport(FakeClock& clock)
    : clock_(clock), responder_([](const std::string&) {
          return std::vector<Piece>{{std::chrono::milliseconds(0), okReply()}};
      }) {}

void ScriptedTransport::setOpenStatus(link::TransportError error, std::string reason) {
    openResult_ = {error, std::move(reason)};
}

void ScriptedTransport::loseAtNextSend(std::string reason, bool afterWriting) {
    pendingLoss_.emplace(std::move(reason), afterWriting);
}

void ScriptedTransport::queueIncoming(Piece piece) {
    pending_.emplace(clock_.now() + piece.after, std::move(piece.bytes));
}

link::TransportResult ScriptedTransport::openConnection() {
    ++openCount_;
    lost_.reset();
    if (!openResult_.ok()) {
        lost_ = openResult_;
    }
    return openResult_;
}

link::TransportResult ScriptedTransport::sendData(const std::string& text) {
    if (lost_) {
        return *lost_;
    }
    if (pendingLoss_ && !pendingLoss_->second) {
        lost_ = gone(std::move(pendingLoss_->first));
        pendingLoss_.reset();
        pending_.clear();
        return *lost_;
    }
    const std::string command = text.ends_with("\r\n") ? text.substr(0, text.size() - 2) : text;
    wire_ += command.size() > 2 ? command + "\r\n" : text;
    sent_.push_back(command);
    if (pendingLoss_) {
        lost_ = gone(std::move(pendingLoss_->first));
        pendingLoss_.reset();
        pending_.clear();
        return {};
    }
    for (auto& piece : responder_(command)) {
        queueIncoming(std::move(piece));
    }
    return {};
}

link::Received ScriptedTransport::receiveData(std::chrono::milliseconds maxWait) {
    ++receiveCalls_;
    const auto deadline = clock_.now() + maxWait;
    // A port that hung up says so at once, as a real one's read does.
    if (lost_) {
        return {{}, *lost_};
    }
    if (pending_.empty() || pending_.begin()->first > deadline) {
        clock_.advance(deadline - clock_.now());
        return {};
    }
    clock_.advance(
        std::max(pending_.begin()->first - clock_.now(), common::Clock::TimePoint::duration{}));
    std::string bytes = std::move(pending_.extract(pending_.begin()).mapped());
    if (pending_.empty() && lossWithLastByte_) {
        lost_ = gone(std::move(*lossWithLastByte_));
        lossWithLastByte_.reset();
    }
    return {std::move(bytes), lost_.value_or(link::TransportResult{})};
}

link::TransportFactory ScriptedTransport::factory() {
    return [this](const link::LinkTarget& target) -> std::unique_ptr<link::Transport> {
        targets_.push_back(target);
        return std::make_unique<TransportProxy>(*this);
    };
}

}  // namespace merovan::testing
