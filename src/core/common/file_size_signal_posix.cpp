#include <csignal>

#include "core/common/file_size_signal.h"

namespace merovan::common {

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace merovan::common
