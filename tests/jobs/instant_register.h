#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "core/driver/clock.h"
#include "core/driver/operator.h"
#include "core/link/link_target.h"
#include "core/link/transport.h"

// A register that answers every command at once, a clock that moves only when slept on or
// waited on, and an operator that answers every message box: enough to run jobs as fast as
// the interpreter itself goes. Header only, for the fuzz target and the benchmark, which link
// no test support library.
namespace merovan::testing {

class InstantClock final : public driver::Clock {
  public:
    TimePoint now() const override { return TimePoint(elapsed_) + std::chrono::hours(1); }
    void sleep(std::chrono::milliseconds duration) override { elapsed_ += duration; }
    common::DateTime localDateTime() const override { return {2026, 12, 5, 9, 41, 7}; }

  private:
    std::chrono::nanoseconds elapsed_{0};
};

class QuietOperator final : public driver::Operator {
  public:
    int showMessage(const common::MessageBox&) override { return 1; }
    void setCaption(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void trace(const std::string&) override {}
    void enableControl(driver::Control, bool) override {}
    void setWindowShown(bool) override {}
    void setCardWaitShown(bool) override {}
};

class InstantRegister {
  public:
    // Returns the whole reply to a command (without its CR LF), EOT included.
    using Answer = std::function<std::string(const std::string& command)>;

    explicit InstantRegister(InstantClock& clock) : clock_(clock) {}

    void setAnswer(Answer answer) { answer_ = std::move(answer); }
    long long commands() const { return commands_; }

    link::TransportFactory factory() {
        return [this](const link::LinkTarget&) { return std::make_unique<Port>(*this); };
    }

  private:
    class Port final : public link::Transport {
      public:
        explicit Port(InstantRegister& reg) : reg_(reg) {}
        std::int16_t openConnection() override { return 0; }
        bool sendData(const std::string& text) override {
            std::string command = text;
            if (command.ends_with("\r\n")) {
                command.resize(command.size() - 2);
            }
            ++reg_.commands_;
            reg_.pending_ += reg_.answer_(command);
            return true;
        }
        std::string receiveData(std::chrono::milliseconds maxWait) override {
            if (reg_.pending_.empty()) {
                // Nothing will come: let the wait pass at once.
                reg_.clock_.sleep(std::max(maxWait, std::chrono::milliseconds(1)));
                return {};
            }
            return std::exchange(reg_.pending_, std::string());
        }
        void shutdownConnection() override {}

      private:
        InstantRegister& reg_;
    };

    InstantClock& clock_;
    Answer answer_ = [](const std::string&) { return std::string("OK\r\x04"); };
    std::string pending_;
    long long commands_ = 0;
};

}  // namespace merovan::testing
