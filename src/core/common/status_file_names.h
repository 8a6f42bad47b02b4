#pragma once

// The files in the working directory where a running driver tells how it is: the status
// (JSON, replaced whole) and the lock it holds while it runs. Neither is ever a job nor a
// result file.
namespace merovan::common {

inline constexpr const char* kStatusFileName = "merovan.status.json";
inline constexpr const char* kStatusLockName = "merovan.status.lock";

}  // namespace merovan::common
