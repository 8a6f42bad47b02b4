#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "apps/cli_log_line.h"
#include "core/common/clock.h"
#include "core/common/operator.h"

namespace merovan::cli {

// The headless program's window: every text the operator would see becomes a time-stamped
// entry on standard error, and a message box is logged and answered at once, since nobody is
// there to press OK. Under systemd (JOURNAL_STREAM set) the entries carry their syslog
// priority instead of a time stamp.
class LogOperator final : public common::Operator {
  public:
    LogOperator(common::Clock& clock, bool trace, std::FILE* out = stderr,
                bool journal = std::getenv("JOURNAL_STREAM") != nullptr)
        : clock_(clock), trace_(trace), out_(out), journal_(journal) {}

    int showMessage(const common::MessageBox& box) override;
    void setCaption(const std::string& caption) override;
    void setStatus(const std::string& text) override;
    void setProgressText(const std::string& text) override;
    void trace(const std::string& line) override;
    void setWindowShown(bool) override {}
    void setCardWaitShown(bool shown) override;
    void setReceiptCount(std::int64_t count) override;
    void showSettings(const common::SettingsView& view) override;
    void log(const std::string& line) override;
    void setDriverState(common::DriverState state) override { driverState_ = state; }

    // Readable from any thread, for the network interface's status.
    common::DriverState driverState() const { return driverState_; }
    std::int64_t jobsPrinted() const { return jobsPrinted_; }

  private:
    void write(const char* kind, const std::string& text, Priority priority = Priority::Info);

    common::Clock& clock_;
    bool trace_;
    std::FILE* out_;
    bool journal_;
    std::mutex mutex_;
    std::string caption_;
    std::string status_;
    std::atomic<common::DriverState> driverState_ = common::DriverState::Searching;
    std::atomic<std::int64_t> jobsPrinted_ = 0;
};

}  // namespace merovan::cli
