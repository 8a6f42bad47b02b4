#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace merovan::gui {

// The trace window: every command sent to the register and every reply, newest at the bottom.
// It lives while it is shown; reopening starts with an empty trace.
class DebugWindow final : public QWidget {
    Q_OBJECT

  public:
    // The trace keeps working when a busy day fills it: the oldest lines give way.
    static constexpr int kMaxLines = 10000;

    DebugWindow();

    // Appends a line break and the line, and keeps the newest line in view.
    void PrintCombine(const QString& line);
    QString text() const;

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPlainTextEdit* txtDebug_;
};

}  // namespace merovan::gui
