#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/common/clock.h"
#include "core/common/driver_observer.h"
#include "core/common/operator.h"
#include "core/link/command_sender.h"
#include "core/link/link.h"

namespace merovan::jobs {

// Every command the driver gives the register, with what the operator sees of it and the
// lines it leaves in the running job's result file: the "Err = " line of a failure, the
// ccPay line of a card payment, a card answer that came late. Lives as long as the link, so
// that a late card answer still reaches the result file of its own job.
class RegisterSession final : public link::CommandSender, private link::ExchangeObserver {
  public:
    RegisterSession(link::Link& link, common::Operator& op, common::Clock& clock);

    link::ExchangeOutcome send(const std::string& command, bool quiet = false,
                               int cardAnswerSeconds = 0) override;
    // Appends the failure line of command with status to the result file. Outside a job a
    // register that cannot be reached is left to the link-state lines of the log: a line for
    // every attempt would bury it.
    void logFailure(const std::string& command, link::LinkStatus status);
    // Opens the link when it is not open; false when it cannot be (told in the log).
    bool ensureOpen() { return link_.ensureOpen(*this); }

    // The status of the last exchange; success before the first.
    link::LinkStatus lastStatus() const { return lastStatus_; }
    // The running job's result file; empty between jobs, when its lines go to the log.
    void setResultFile(std::string path) { resultFile_ = std::move(path); }
    const std::string& resultFile() const { return resultFile_; }
    link::Link& link() { return link_; }
    // Told of every exchange, refusal, card payment and change of the link; none: nobody.
    void setObserver(common::DriverObserver* observer) { observer_ = observer; }

  private:
    void registerRefused(std::string_view reply) override;
    void cardWaitShown(bool shown) override;
    void lateCardAnswer(const std::string& line) override;
    void linkStateChanged(const std::string& downReason) override;
    void writeResultLine(const std::string& path, const std::string& line);
    void tellExchange(const link::ExchangeOutcome& outcome, common::Clock::TimePoint began,
                      int cardAnswerSeconds);

    link::Link& link_;
    common::Operator& op_;
    common::Clock& clock_;
    std::string resultFile_;
    // The result file of the card payment whose terminal did not answer within its wait.
    std::optional<std::string> lateCardResultFile_;
    bool quiet_ = false;
    link::LinkStatus lastStatus_ = link::LinkStatus::Success;
    common::DriverObserver* observer_ = nullptr;
};

}  // namespace merovan::jobs
