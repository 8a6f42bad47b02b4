#include "gui/gui_operator.h"

#include <QMetaObject>
#include <QThread>
#include <cstdio>

#include "core/common/text.h"
#include "gui/main_window.h"

namespace merovan::gui {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

GuiOperator::GuiOperator(MainWindow& window, MessagePresenter& messages)
    : window_(window), messages_(messages) {}

template <typename Call>
void GuiOperator::onGuiThread(Call call) {
    if (QThread::currentThread() == window_.thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(&window_, std::move(call), Qt::QueuedConnection);
    }
}

int GuiOperator::showMessage(const common::MessageBox& box) {
    if (QThread::currentThread() == window_.thread()) {
        return messages_.show(&window_, box);
    }
    if (ending_) {
        log(box.title + ": " + std::string(common::trim(box.text)));
        return common::answers::kOk;
    }
    int answer = common::answers::kOk;
    QMetaObject::invokeMethod(
        &window_, [&] { answer = messages_.show(&window_, box); }, Qt::BlockingQueuedConnection);
    return answer;
}

void GuiOperator::setCaption(const std::string& caption) {
    onGuiThread([this, text = qt(caption)] { window_.setWindowTitle(text); });
}

void GuiOperator::setStatus(const std::string& text) {
    onGuiThread([this, status = qt(text)] { window_.setStatus(status); });
}

void GuiOperator::setProgressText(const std::string& text) {
    onGuiThread([this, progress = qt(text)] { window_.setProgressText(progress); });
}

void GuiOperator::trace(const std::string& line) {
    // Most of the time nobody watches the trace; the lines are not worth carrying over then.
    if (window_.debugOn()) {
        onGuiThread([this, text = qt(line)] { window_.appendTrace(text); });
    }
}

void GuiOperator::enableControl(common::Control control, bool enabled) {
    onGuiThread([this, control, enabled] { window_.setControlEnabled(control, enabled); });
}

void GuiOperator::setWindowShown(bool shown) {
    onGuiThread([this, shown] { window_.setDriverShown(shown); });
}

void GuiOperator::setCardWaitShown(bool shown) {
    onGuiThread([this, shown] { window_.setCardWaitShown(shown); });
}

void GuiOperator::setReceiptCount(std::int64_t count) {
    onGuiThread([this, count] { window_.setReceiptCount(count); });
}

void GuiOperator::setTrayChecks(bool startChecked, bool stopChecked) {
    onGuiThread(
        [this, startChecked, stopChecked] { window_.setTrayChecks(startChecked, stopChecked); });
}

void GuiOperator::showSettings(const common::SettingsView& view) {
    onGuiThread([this, view] { window_.showSettingsView(view); });
}

void GuiOperator::showSettingsDialog() {
    onGuiThread([this] { window_.openSettingsDialog(); });
}

void GuiOperator::log(const std::string& line) {
    std::fprintf(stderr, "merovan: %s\n", line.c_str());
}

}  // namespace merovan::gui
