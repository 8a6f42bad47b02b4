#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/driver/operator.h"

namespace merovan::testing {

// An operator that records what the driver shows, and answers message boxes with answers
// set in advance (OK when none is set).
class RecordingOperator final : public driver::Operator {
  public:
    int showMessage(const common::MessageBox& box) override;
    void setCaption(const std::string& caption) override;
    void setStatus(const std::string& text) override;
    void setProgressText(const std::string& text) override;
    void trace(const std::string& line) override;
    void enableControl(driver::Control control, bool enabled) override;
    void setWindowShown(bool shown) override;
    void setCardWaitShown(bool shown) override;
    void setReceiptCount(std::int64_t count) override;
    void setTrayChecks(bool startChecked, bool stopChecked) override;
    void showSettingsDialog() override;
    void log(const std::string& line) override;

    void setNextAnswer(int answer);

    std::vector<common::MessageBox> messages() const;
    std::vector<std::string> captions() const;
    std::vector<std::string> statuses() const;
    std::vector<std::string> progressTexts() const;
    std::vector<std::string> traceLines() const;
    std::string caption() const;
    std::string status() const;
    bool enabled(driver::Control control) const;
    bool windowShown() const;
    int cardWaitShownCount() const;
    bool cardWaitShown() const;
    std::int64_t receiptCount() const;
    // The last check marks of the tray's Start and Stop items.
    std::pair<bool, bool> trayChecks() const;
    int settingsDialogShownCount() const;
    std::vector<std::string> logLines() const;
    void clear();

  private:
    mutable std::mutex mutex_;
    std::vector<common::MessageBox> messages_;
    std::vector<std::string> captions_;
    std::vector<std::string> statuses_;
    std::vector<std::string> progress_;
    std::vector<std::string> trace_;
    std::map<driver::Control, bool> enabled_;
    std::deque<int> answers_;
    bool windowShown_ = true;
    bool cardWaitShown_ = false;
    int cardWaitShownCount_ = 0;
    std::int64_t receiptCount_ = 0;
    std::pair<bool, bool> trayChecks_{false, false};
    int settingsDialogShown_ = 0;
    std::vector<std::string> log_;
};

}  // namespace merovan::testing
