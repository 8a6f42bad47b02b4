#include "core/common/file_size_signal.h"

namespace merovan::common {

// Windows has no file-size limit signal: a write past a quota fails by itself.
void ignoreFileSizeSignal() {}

}  // namespace merovan::common
