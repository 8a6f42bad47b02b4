#include "gui/qt/trace_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "gui/qt/gui_context.h"

namespace merovan::gui {

TraceWindow::TraceWindow(int lineLimit) : traceText_(new QPlainTextEdit(this)) {
    setObjectName("frmDebug");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Επικοινωνία Ταμειακής");
    resize(twips(4575), twips(9255));
    traceText_->setObjectName("txtDebug");
    traceText_->setReadOnly(true);
    traceText_->setLineWrapMode(QPlainTextEdit::NoWrap);
    traceText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    traceText_->setMaximumBlockCount(lineLimit);
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(8.25);
    traceText_->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(traceText_);
}

void TraceWindow::appendLine(const QString& line) {
    QTextCursor cursor(traceText_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(line);
    traceText_->setTextCursor(cursor);
    traceText_->verticalScrollBar()->setValue(traceText_->verticalScrollBar()->maximum());
}

QString TraceWindow::text() const {
    return traceText_->toPlainText();
}

void TraceWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

}  // namespace merovan::gui
