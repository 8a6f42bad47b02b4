#pragma once

#include "core/common/driver_observer.h"
#include "core/common/operator.h"

namespace merovan::driver {

// The operator every part of the driver talks to: passes everything on to the real one and
// tells the observer the caption and the driver's state, whichever part set them.
class ObservedOperator final : public common::Operator {
  public:
    explicit ObservedOperator(common::Operator& inner) : inner_(inner) {}

    void setObserver(common::DriverObserver* observer) { observer_ = observer; }

    void trace(const std::string& line) override { inner_.trace(line); }
    void setCaption(const std::string& caption) override;
    void setStatus(const std::string& text) override { inner_.setStatus(text); }
    void setProgressText(const std::string& text) override { inner_.setProgressText(text); }
    void setWindowShown(bool shown) override { inner_.setWindowShown(shown); }
    void setReceiptCount(std::int64_t count) override { inner_.setReceiptCount(count); }
    void setDriverState(common::DriverState state) override;
    void showSettings(const common::SettingsView& view) override { inner_.showSettings(view); }
    void log(const std::string& line) override { inner_.log(line); }
    int showMessage(const common::MessageBox& box) override { return inner_.showMessage(box); }
    void setCardWaitShown(bool shown) override { inner_.setCardWaitShown(shown); }
    void showSettingsDialog() override { inner_.showSettingsDialog(); }

  private:
    common::Operator& inner_;
    common::DriverObserver* observer_ = nullptr;
};

}  // namespace merovan::driver
