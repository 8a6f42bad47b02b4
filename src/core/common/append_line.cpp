#include "core/common/append_line.h"

#include <cstdio>

namespace merovan::common {

bool AppendLine(const std::string& path, std::string_view text) {
    if (path.empty()) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                         std::fwrite("\r\n", 1, 2, file) == 2;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace merovan::common
