#include <windows.h>

#include "core/common/locale_decimal.h"
#include "core/common/text.h"

namespace merovan::common {

std::string localeDecimalSeparator() {
    // The system allows up to three characters and the terminating NUL.
    char buffer[8] = {};
    if (GetLocaleInfoA(GetUserDefaultLCID(), LOCALE_SDECIMAL, buffer, sizeof buffer) == 0) {
        return ".";
    }
    std::string separator = trim(std::string(buffer));
    return separator.empty() ? "." : separator;
}

}  // namespace merovan::common
