#include <langinfo.h>
#include <locale.h>

#include "core/common/locale_decimal.h"
#include "core/common/text.h"

namespace merovan::common {

std::string localeDecimalSeparator() {
    // A locale object of its own, so that the process-wide locale is left as it is.
    locale_t userLocale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (userLocale == static_cast<locale_t>(nullptr)) {
        return ".";
    }
    std::string separator = trim(nl_langinfo_l(RADIXCHAR, userLocale));
    freelocale(userLocale);
    return separator.empty() ? "." : separator;
}

}  // namespace merovan::common
