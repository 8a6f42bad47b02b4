#include "gui/qt/select_on_focus.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace merovan::gui {
namespace {

class SelectAllFilter final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the caret.
            auto* field = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, field, &QLineEdit::selectAll);
        }
        return false;
    }
};

}  // namespace

void selectAllOnFocus(QLineEdit* field) {
    field->installEventFilter(new SelectAllFilter(field));
}

}  // namespace merovan::gui
