#include <cstring>

#include "core/common/os_error.h"

namespace merovan::common {

std::string osErrorText(long code) {
    return std::strerror(static_cast<int>(code));
}

}  // namespace merovan::common
