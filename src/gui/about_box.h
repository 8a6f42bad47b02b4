#pragma once

#include <QDialog>

#include "gui/message_presenter.h"

namespace merovan::gui {

// The about box: the program's title and version, and the way to the System Information tool.
class AboutBox final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(MessagePresenter& messages);

    // "Version " and the build's major, minor and revision numbers.
    static QString versionText();
    void cmdSysInfo();

  signals:
    void okClicked();

  private:
    MessagePresenter& messages_;
};

}  // namespace merovan::gui
