#pragma once

#include <map>

#include "core/common/operator.h"

namespace merovan::driver {

// Passes every call on to the real operator and remembers which controls are enabled, so that
// the driver knows the state of Start and Stop even when a job (a Z report inside a job)
// changes them.
class TrackingOperator final : public common::Operator {
  public:
    explicit TrackingOperator(common::Operator& inner) : inner_(inner) {}

    bool enabled(common::Control control) const {
        const auto it = enabled_.find(control);
        return it != enabled_.end() && it->second;
    }

    int showMessage(const common::MessageBox& box) override { return inner_.showMessage(box); }
    void setCaption(const std::string& caption) override { inner_.setCaption(caption); }
    void setStatus(const std::string& text) override { inner_.setStatus(text); }
    void setProgressText(const std::string& text) override { inner_.setProgressText(text); }
    void trace(const std::string& line) override { inner_.trace(line); }
    void enableControl(common::Control control, bool enabled) override {
        enabled_[control] = enabled;
        inner_.enableControl(control, enabled);
    }
    void setWindowShown(bool shown) override { inner_.setWindowShown(shown); }
    void setCardWaitShown(bool shown) override { inner_.setCardWaitShown(shown); }
    void setReceiptCount(std::int64_t count) override { inner_.setReceiptCount(count); }
    void setTrayChecks(bool start, bool stop) override { inner_.setTrayChecks(start, stop); }
    void showSettings(const common::SettingsView& view) override { inner_.showSettings(view); }
    void showSettingsDialog() override { inner_.showSettingsDialog(); }
    void log(const std::string& line) override { inner_.log(line); }

  private:
    common::Operator& inner_;
    std::map<common::Control, bool> enabled_;
};

}  // namespace merovan::driver
