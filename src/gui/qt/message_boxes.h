#pragma once

#include "core/common/message_box.h"

class QWidget;

namespace merovan::gui {

// Shows message boxes. Tests put one in its place that answers at once, so that no dialog
// ever waits for a person there.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Returns the answer as the driver counts it (1 for OK).
    virtual int show(QWidget* parent, const common::MessageBox& box) = 0;
};

// An application-modal box that stays on top of every window, with the status value's icon
// and buttons.
class QtMessageBoxes final : public MessageBoxes {
  public:
    int show(QWidget* parent, const common::MessageBox& box) override;
};

}  // namespace merovan::gui
