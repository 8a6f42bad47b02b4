#include "core/common/operator.h"

namespace merovan::common {

int showMessageBox(Operator& op, std::string_view text, int buttons, std::string_view title) {
    return op.showMessage(common::formatMessageBox(text, buttons, title));
}

}  // namespace merovan::common
