#pragma once

#include <string>

namespace merovan::common {

// The one spelling of a file's path: absolute, without "." or ".." parts or doubled
// separators, with symbolic links resolved, so that "dir/", "dir//" and a linked spelling of
// one exchange directory name the same file. A file that does not exist (yet) is resolved
// through its directory. Empty when not even the directory can be resolved.
std::string canonicalPath(const std::string& path);

}  // namespace merovan::common
