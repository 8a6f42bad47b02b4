#include "core/driver/operator.h"

namespace merovan::driver {

int ShowMessage(Operator& op, std::string_view text, int buttons, std::string_view title) {
    return op.showMessage(common::formatMessageBox(text, buttons, title));
}

}  // namespace merovan::driver
