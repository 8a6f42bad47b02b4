#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/common/operator.h"

namespace merovan::testing {

// An operator that records what the driver shows and answers every message box with OK. The
// driver may call it from its own thread.
class RecordingOperator final : public common::Operator {
    struct State {
        std::vector<common::MessageBox> messages;
        std::vector<std::string> captions, statuses, progress, trace, log;
        common::DriverState driverState = common::DriverState::Searching;
        std::vector<common::DriverState> driverStates;
        bool windowShown = true;
        bool cardWaitShown = false;
        int cardWaitShownCount = 0;
        std::int64_t receiptCount = 0;
    };

    template <typename F>
    auto locked(F f) const {
        std::lock_guard lock(mutex_);
        return f(state_);
    }
    template <typename F>
    auto locked(F f) {
        std::lock_guard lock(mutex_);
        return f(state_);
    }
    template <typename T>
    T get(T State::*member) const {
        return locked([&](const State& s) { return s.*member; });
    }
    template <typename T>
    void set(T State::*member, T value) {
        locked([&](State& s) { s.*member = std::move(value); });
    }
    void push(std::vector<std::string> State::*member, const std::string& text) {
        locked([&](State& s) { (s.*member).push_back(text); });
    }
    std::string last(std::vector<std::string> State::*member) const {
        return locked([&](const State& s) {
            return (s.*member).empty() ? std::string() : (s.*member).back();
        });
    }

  public:
    int showMessage(const common::MessageBox& box) override {
        locked([&](State& s) { s.messages.push_back(box); });
        return common::answers::kOk;
    }
    void setCaption(const std::string& caption) override { push(&State::captions, caption); }
    void setStatus(const std::string& text) override { push(&State::statuses, text); }
    void setProgressText(const std::string& text) override { push(&State::progress, text); }
    void trace(const std::string& line) override { push(&State::trace, line); }
    void log(const std::string& line) override { push(&State::log, line); }
    void setDriverState(common::DriverState state) override {
        locked([&](State& s) {
            s.driverState = state;
            s.driverStates.push_back(state);
        });
    }
    void setWindowShown(bool shown) override { set(&State::windowShown, shown); }
    void setCardWaitShown(bool shown) override {
        locked([&](State& s) {
            s.cardWaitShownCount += shown && !s.cardWaitShown ? 1 : 0;
            s.cardWaitShown = shown;
        });
    }
    void setReceiptCount(std::int64_t count) override { set(&State::receiptCount, count); }
    void showSettingsDialog() override {}

    std::vector<common::MessageBox> messages() const { return get(&State::messages); }
    std::vector<std::string> captions() const { return get(&State::captions); }
    std::vector<std::string> statuses() const { return get(&State::statuses); }
    std::vector<std::string> progressTexts() const { return get(&State::progress); }
    std::vector<std::string> traceLines() const { return get(&State::trace); }
    std::vector<std::string> logLines() const { return get(&State::log); }
    std::string caption() const { return last(&State::captions); }
    std::string status() const { return last(&State::statuses); }
    common::DriverState driverState() const { return get(&State::driverState); }
    std::vector<common::DriverState> driverStates() const { return get(&State::driverStates); }
    bool windowShown() const { return get(&State::windowShown); }
    int cardWaitShownCount() const { return get(&State::cardWaitShownCount); }
    bool cardWaitShown() const { return get(&State::cardWaitShown); }
    std::int64_t receiptCount() const { return get(&State::receiptCount); }
    // Forgets the texts shown so far; the state of controls and windows stays.
    void clear() {
        locked([](State& s) {
            for (auto* texts : {&s.captions, &s.statuses, &s.progress, &s.trace, &s.log}) {
                texts->clear();
            }
            s.messages.clear();
            s.driverStates.clear();
        });
    }

  private:
    mutable std::mutex mutex_;
    State state_;
};

}  // namespace merovan::testing
