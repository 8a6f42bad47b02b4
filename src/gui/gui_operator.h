#pragma once

#include <QObject>
#include <atomic>

#include "core/common/operator.h"
#include "gui/message_presenter.h"

namespace merovan::gui {

class MainWindow;

// The driver's operator drawn with widgets. The driver calls it from its own thread; every
// call is carried over to the GUI thread in order. A message box the job waits for is shown
// by the GUI thread while the driver's thread waits for the answer.
class GuiOperator final : public common::Operator {
  public:
    GuiOperator(MainWindow& window, MessagePresenter& messages);

    int showMessage(const common::MessageBox& box) override;
    void setCaption(const std::string& caption) override;
    void setStatus(const std::string& text) override;
    void setProgressText(const std::string& text) override;
    void trace(const std::string& line) override;
    void enableControl(common::Control control, bool enabled) override;
    void setWindowShown(bool shown) override;
    void setCardWaitShown(bool shown) override;
    void setReceiptCount(std::int64_t count) override;
    void setTrayChecks(bool startChecked, bool stopChecked) override;
    void showSettings(const common::SettingsView& view) override;
    void showSettingsDialog() override;
    void log(const std::string& line) override;

    // The program is ending: nobody will answer a box any more, so one is logged and
    // answered at once instead of holding the driver's thread.
    void setEnding() { ending_ = true; }

  private:
    template <typename Call>
    void onGuiThread(Call call);

    MainWindow& window_;
    MessagePresenter& messages_;
    std::atomic<bool> ending_{false};
};

}  // namespace merovan::gui
