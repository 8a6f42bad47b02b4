#include "support/recording_operator.h"

namespace merovan::testing {

int RecordingOperator::showMessage(const common::MessageBox& box) {
    std::lock_guard lock(mutex_);
    messages_.push_back(box);
    if (answers_.empty()) {
        return common::answers::kOk;
    }
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingOperator::setCaption(const std::string& caption) {
    std::lock_guard lock(mutex_);
    captions_.push_back(caption);
}

void RecordingOperator::setStatus(const std::string& text) {
    std::lock_guard lock(mutex_);
    statuses_.push_back(text);
}

void RecordingOperator::setProgressText(const std::string& text) {
    std::lock_guard lock(mutex_);
    progress_.push_back(text);
}

void RecordingOperator::trace(const std::string& line) {
    std::lock_guard lock(mutex_);
    trace_.push_back(line);
}

void RecordingOperator::enableControl(driver::Control control, bool enabled) {
    std::lock_guard lock(mutex_);
    enabled_[control] = enabled;
}

void RecordingOperator::setWindowShown(bool shown) {
    std::lock_guard lock(mutex_);
    windowShown_ = shown;
}

void RecordingOperator::setCardWaitShown(bool shown) {
    std::lock_guard lock(mutex_);
    if (shown && !cardWaitShown_) {
        ++cardWaitShownCount_;
    }
    cardWaitShown_ = shown;
}

void RecordingOperator::setNextAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<common::MessageBox> RecordingOperator::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> RecordingOperator::captions() const {
    std::lock_guard lock(mutex_);
    return captions_;
}

std::vector<std::string> RecordingOperator::statuses() const {
    std::lock_guard lock(mutex_);
    return statuses_;
}

std::vector<std::string> RecordingOperator::progressTexts() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

std::vector<std::string> RecordingOperator::traceLines() const {
    std::lock_guard lock(mutex_);
    return trace_;
}

std::string RecordingOperator::caption() const {
    std::lock_guard lock(mutex_);
    return captions_.empty() ? std::string() : captions_.back();
}

std::string RecordingOperator::status() const {
    std::lock_guard lock(mutex_);
    return statuses_.empty() ? std::string() : statuses_.back();
}

bool RecordingOperator::enabled(driver::Control control) const {
    std::lock_guard lock(mutex_);
    const auto found = enabled_.find(control);
    return found != enabled_.end() && found->second;
}

bool RecordingOperator::windowShown() const {
    std::lock_guard lock(mutex_);
    return windowShown_;
}

int RecordingOperator::cardWaitShownCount() const {
    std::lock_guard lock(mutex_);
    return cardWaitShownCount_;
}

bool RecordingOperator::cardWaitShown() const {
    std::lock_guard lock(mutex_);
    return cardWaitShown_;
}

void RecordingOperator::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    captions_.clear();
    statuses_.clear();
    progress_.clear();
    trace_.clear();
    log_.clear();
}

void RecordingOperator::setReceiptCount(std::int64_t count) {
    std::lock_guard lock(mutex_);
    receiptCount_ = count;
}

void RecordingOperator::setTrayChecks(bool startChecked, bool stopChecked) {
    std::lock_guard lock(mutex_);
    trayChecks_ = {startChecked, stopChecked};
}

void RecordingOperator::showSettingsDialog() {
    std::lock_guard lock(mutex_);
    ++settingsDialogShown_;
}

void RecordingOperator::log(const std::string& line) {
    std::lock_guard lock(mutex_);
    log_.push_back(line);
}

std::int64_t RecordingOperator::receiptCount() const {
    std::lock_guard lock(mutex_);
    return receiptCount_;
}

std::pair<bool, bool> RecordingOperator::trayChecks() const {
    std::lock_guard lock(mutex_);
    return trayChecks_;
}

int RecordingOperator::settingsDialogShownCount() const {
    std::lock_guard lock(mutex_);
    return settingsDialogShown_;
}

std::vector<std::string> RecordingOperator::logLines() const {
    std::lock_guard lock(mutex_);
    return log_;
}

}  // namespace merovan::testing
