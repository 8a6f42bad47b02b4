#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "core/common/clock.h"
#include "core/common/operator.h"
#include "core/link/link_target.h"
#include "core/link/transport.h"

// A register that answers "OK" to every command at once, a clock that moves only when slept on
// or waited on, and an operator that answers every message box and keeps nothing, so that a
// benchmark measures the interpreter alone and its memory stays flat however long it runs.
namespace merovan::bench {

class InstantClock final : public common::Clock {
  public:
    TimePoint now() const override { return TimePoint(elapsed_) + std::chrono::hours(1); }
    void sleep(std::chrono::milliseconds duration) override { elapsed_ += duration; }
    common::DateTime localDateTime() const override { return {2026, 12, 5, 9, 41, 7}; }

  private:
    std::chrono::nanoseconds elapsed_{0};
};

class QuietOperator final : public common::Operator {
  public:
    int showMessage(const common::MessageBox&) override { return 1; }
    void setCaption(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void trace(const std::string&) override {}
    void setWindowShown(bool) override {}
    void setCardWaitShown(bool) override {}
};

class InstantRegister {
  public:
    explicit InstantRegister(InstantClock& clock) : clock_(clock) {}

    long long commands() const { return commands_; }

    link::TransportFactory factory() {
        return [this](const link::LinkTarget&) { return std::make_unique<Port>(*this); };
    }

  private:
    class Port final : public link::Transport {
      public:
        explicit Port(InstantRegister& reg) : reg_(reg) {}
        link::TransportResult openConnection() override { return {}; }
        link::TransportResult sendData(const std::string&) override {
            ++reg_.commands_;
            reg_.pending_ += "OK\r\x04";
            return {};
        }
        link::Received receiveData(std::chrono::milliseconds maxWait) override {
            if (reg_.pending_.empty()) {
                // Nothing will come: let the wait pass at once.
                reg_.clock_.sleep(std::max(maxWait, std::chrono::milliseconds(1)));
                return {};
            }
            return {std::exchange(reg_.pending_, std::string()), {}};
        }
        void shutdownConnection() override {}

      private:
        InstantRegister& reg_;
    };

    InstantClock& clock_;
    std::string pending_;
    long long commands_ = 0;
};

}  // namespace merovan::bench
