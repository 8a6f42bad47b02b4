#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace merovan::gui {

// The trace window: every command sent to the register and every reply, newest at the bottom.
// It lives while it is shown; reopening starts with an empty trace.
class TraceWindow final : public QWidget {
    Q_OBJECT

  public:
    // lineLimit: the oldest lines give way beyond it, as they do in the presenter's buffer.
    explicit TraceWindow(int lineLimit);

    // Appends a line break and the line, and keeps the newest line in view.
    void appendLine(const QString& line);
    QString text() const;

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPlainTextEdit* traceText_;
};

}  // namespace merovan::gui
