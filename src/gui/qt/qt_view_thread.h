#pragma once

#include <QObject>

#include "core/desktop/view_thread.h"
#include "gui/qt/message_boxes.h"

class QWidget;

namespace merovan::gui {

// The presenter's way to the GUI thread: calls are queued to it in order; a message box a job
// waits for is shown there while the driver's thread waits for the answer.
class QtViewThread final : public desktop::ViewThread {
  public:
    // Created on the GUI thread.
    explicit QtViewThread(MessageBoxes& messages) : messages_(messages) {}

    // The window the boxes belong to.
    void setBoxParent(QWidget* parent) { parent_ = parent; }

    void post(std::function<void()> call) override;
    int ask(const common::MessageBox& box) override;

  private:
    QObject context_;  // lives on the GUI thread; queued calls run there
    MessageBoxes& messages_;
    QWidget* parent_ = nullptr;
};

}  // namespace merovan::gui
