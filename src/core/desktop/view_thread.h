#pragma once

#include <functional>

#include "core/common/message_box.h"

namespace merovan::desktop {

// How the presenter reaches the thread its view draws on. The driver calls the presenter from
// a thread of its own; the model changes only on the view's thread.
class ViewThread {
  public:
    virtual ~ViewThread() = default;
    // Runs call on the view's thread after every call posted before it.
    virtual void post(std::function<void()> call) = 0;
    // Shows a message box on the view's thread and waits for the answer (1 for OK).
    virtual int ask(const common::MessageBox& box) = 0;
};

}  // namespace merovan::desktop
