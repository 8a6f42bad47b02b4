#include "gui/qt/qt_view_thread.h"

#include <QMetaObject>
#include <QThread>
#include <QWidget>

namespace merovan::gui {

void QtViewThread::post(std::function<void()> call) {
    if (QThread::currentThread() == context_.thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
    }
}

int QtViewThread::ask(const common::MessageBox& box) {
    if (QThread::currentThread() == context_.thread()) {
        return messages_.show(parent_, box);
    }
    int answer = common::answers::kOk;
    QMetaObject::invokeMethod(
        &context_, [&] { answer = messages_.show(parent_, box); }, Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace merovan::gui
