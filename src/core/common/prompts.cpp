#include "core/common/prompts.h"

namespace merovan::common {

int showMessageBox(Prompts& prompts, std::string_view text, int buttons, std::string_view title) {
    return prompts.showMessage(formatMessageBox(text, buttons, title));
}

}  // namespace merovan::common
