#include "support/scripted_transport.h"

#include <algorithm>

namespace merovan::testing {
namespace {

// Lets Link own a transport while the test keeps the scripted one.
class TransportProxy final : public link::Transport {
  public:
    explicit TransportProxy(ScriptedTransport& target) : target_(target) {}
    std::int16_t openConnection() override {
        const auto status = target_.openConnection();
        result_ = target_.result();
        exResult_ = target_.exResult();
        follow();
        return status;
    }
    bool sendData(const std::string& text) override {
        const bool sent = target_.sendData(text);
        follow();
        return sent;
    }
    std::string receiveData(std::chrono::milliseconds maxWait) override {
        std::string bytes = target_.receiveData(maxWait);
        follow();
        return bytes;
    }
    void shutdownConnection() override { target_.shutdownConnection(); }

  private:
    // The proxy fails as the scripted port does.
    void follow() {
        if (target_.lost()) {
            setLost(target_.failureReason());
        }
    }

    ScriptedTransport& target_;
};

}  // namespace

ScriptedTransport::ScriptedTransport(FakeClock& clock)
    : clock_(clock), responder_([](const std::string&) {
          return std::vector<Piece>{{std::chrono::milliseconds(0), okReply()}};
      }) {}

void ScriptedTransport::setOpenStatus(std::int16_t status, std::string text, std::string reason) {
    openStatus_ = status;
    openText_ = std::move(text);
    openReason_ = std::move(reason);
}

void ScriptedTransport::loseAtNextSend(std::string reason, bool afterWriting) {
    pendingLoss_.emplace(std::move(reason), afterWriting);
}

void ScriptedTransport::queueIncoming(Piece piece) {
    pending_.emplace(clock_.now() + piece.after, std::move(piece.bytes));
}

std::int16_t ScriptedTransport::openConnection() {
    ++openCount_;
    result_ = openStatus_;
    exResult_ = openText_;
    clearFailure();
    if (openStatus_ != 0) {
        setLost(openReason_);
    }
    return openStatus_;
}

bool ScriptedTransport::sendData(const std::string& text) {
    if (lost()) {
        return false;
    }
    if (pendingLoss_ && !pendingLoss_->second) {
        setLost(std::move(pendingLoss_->first));
        pendingLoss_.reset();
        pending_.clear();
        return false;
    }
    const std::string command = text.ends_with("\r\n") ? text.substr(0, text.size() - 2) : text;
    wire_ += command.size() > 2 ? command + "\r\n" : text;
    sent_.push_back(command);
    if (pendingLoss_) {
        setLost(std::move(pendingLoss_->first));
        pendingLoss_.reset();
        pending_.clear();
        return true;
    }
    for (auto& piece : responder_(command)) {
        queueIncoming(std::move(piece));
    }
    return true;
}

std::string ScriptedTransport::receiveData(std::chrono::milliseconds maxWait) {
    ++receiveCalls_;
    const auto deadline = clock_.now() + maxWait;
    if (lost() || pending_.empty() || pending_.begin()->first > deadline) {
        clock_.advance(deadline - clock_.now());
        return {};
    }
    clock_.advance(
        std::max(pending_.begin()->first - clock_.now(), common::Clock::TimePoint::duration{}));
    std::string bytes = std::move(pending_.extract(pending_.begin()).mapped());
    if (pending_.empty() && lossWithLastByte_) {
        setLost(std::move(*lossWithLastByte_));
        lossWithLastByte_.reset();
    }
    return bytes;
}

link::TransportFactory ScriptedTransport::factory() {
    return [this](const link::LinkTarget& target) -> std::unique_ptr<link::Transport> {
        targets_.push_back(target);
        return std::make_unique<TransportProxy>(*this);
    };
}

}  // namespace merovan::testing
