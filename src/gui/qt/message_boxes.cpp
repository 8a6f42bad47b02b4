#include "gui/qt/message_boxes.h"

#include <QMessageBox>
#include <QString>
#include <vector>

namespace merovan::gui {
namespace {

QMessageBox::Icon iconOf(int buttons) {
    switch (buttons & 0x70) {
        case common::buttons::kCritical:
            return QMessageBox::Critical;
        case common::buttons::kQuestion:
            return QMessageBox::Question;
        case common::buttons::kExclamation:
            return QMessageBox::Warning;
        case common::buttons::kInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The button sets a message box value names (its lowest three bits) and the answer each
// button gives back.
struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonAnswer> buttonsOf(int buttons) {
    constexpr ButtonAnswer kOk{QMessageBox::Ok, 1}, kCancel{QMessageBox::Cancel, 2},
        kAbort{QMessageBox::Abort, 3}, kRetry{QMessageBox::Retry, 4},
        kIgnore{QMessageBox::Ignore, 5}, kYes{QMessageBox::Yes, 6}, kNo{QMessageBox::No, 7};
    switch (buttons & 0x7) {
        case 1:
            return {kOk, kCancel};
        case 2:
            return {kAbort, kRetry, kIgnore};
        case 3:
            return {kYes, kNo, kCancel};
        case 4:
            return {kYes, kNo};
        case 5:
            return {kRetry, kCancel};
        default:
            return {kOk};
    }
}

}  // namespace

int QtMessageBoxes::show(QWidget* parent, const common::MessageBox& box) {
    QMessageBox dialog(iconOf(box.buttons), QString::fromStdString(box.title),
                       QString::fromStdString(box.text), QMessageBox::NoButton, parent);
    // The padding blanks are part of the text; rich text would swallow them.
    dialog.setTextFormat(Qt::PlainText);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    const auto answers = buttonsOf(box.buttons);
    for (const auto& entry : answers) {
        dialog.addButton(entry.button);
    }
    const auto chosen = static_cast<QMessageBox::StandardButton>(dialog.exec());
    for (const auto& entry : answers) {
        if (entry.button == chosen) {
            return entry.answer;
        }
    }
    // Closed from its frame: the last button, as Escape would press it.
    return answers.back().answer;
}

}  // namespace merovan::gui
