#pragma once

#include <QDialog>

#include "gui/qt/message_boxes.h"

namespace merovan::gui {

// The about box: the program's title and version, and the way to the System Information tool.
class AboutBox final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(MessageBoxes& messages);

    void startSystemInformation();

  signals:
    void okClicked();

  private:
    MessageBoxes& messages_;
};

}  // namespace merovan::gui
