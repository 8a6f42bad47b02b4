#pragma once

#include <string>
#include <string_view>

namespace merovan::common {

// Appends the text and CR LF to the file, creating it when absent. Anything but a regular file
// (a FIFO, a device) is refused without blocking. Returns false when the line could not be
// written (the line is then lost; the caller decides whether to say so).
bool appendLine(const std::string& path, std::string_view text);

}  // namespace merovan::common
