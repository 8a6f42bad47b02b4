#include "gui/debug_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "gui/gui_context.h"

namespace merovan::gui {

DebugWindow::DebugWindow() : txtDebug_(new QPlainTextEdit(this)) {
    setObjectName("frmDebug");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Επικοινωνία Ταμειακής");
    resize(twips(4575), twips(9255));
    txtDebug_->setObjectName("txtDebug");
    txtDebug_->setReadOnly(true);
    txtDebug_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDebug_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDebug_->setMaximumBlockCount(kMaxLines);
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(8.25);
    txtDebug_->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtDebug_);
}

void DebugWindow::PrintCombine(const QString& line) {
    QTextCursor cursor(txtDebug_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(line);
    txtDebug_->setTextCursor(cursor);
    txtDebug_->verticalScrollBar()->setValue(txtDebug_->verticalScrollBar()->maximum());
}

QString DebugWindow::text() const {
    return txtDebug_->toPlainText();
}

void DebugWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

}  // namespace merovan::gui
