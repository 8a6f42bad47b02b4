#include "core/common/append_line.h"

#include "core/common/regular_file.h"

namespace merovan::common {

bool appendLine(const std::string& path, std::string_view text) {
    std::string line(text);
    line += "\r\n";
    return appendToRegularFile(path, line);
}

}  // namespace merovan::common
