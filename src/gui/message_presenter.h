#pragma once

#include "core/common/message_box.h"

class QWidget;

namespace merovan::gui {

// Shows the driver's message boxes. Tests put a presenter in its place that answers at once,
// so that no dialog ever waits for a person there.
class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    // Returns the answer as the driver counts it (1 for OK).
    virtual int show(QWidget* parent, const common::MessageBox& box) = 0;
};

// An application-modal box that stays on top of every window, the status value's icon and
// buttons.
class QtMessagePresenter final : public MessagePresenter {
  public:
    int show(QWidget* parent, const common::MessageBox& box) override;
};

}  // namespace merovan::gui
