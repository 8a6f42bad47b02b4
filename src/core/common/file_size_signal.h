#pragma once

namespace merovan::common {

// Under a file-size limit (ulimit -f) a write past it would kill the program with SIGXFSZ in
// the middle of a job; ignored, the write fails instead and the writer reports it.
void ignoreFileSizeSignal();

}  // namespace merovan::common
