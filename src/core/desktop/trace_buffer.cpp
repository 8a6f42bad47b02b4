#include "core/desktop/trace_buffer.h"

namespace merovan::desktop {

void TraceBuffer::append(std::string line) {
    lines_.push_back(std::move(line));
    if (lines_.size() > kMaxLines) {
        lines_.pop_front();
    }
}

std::string TraceBuffer::text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += '\n';
        text += line;
    }
    return text;
}

}  // namespace merovan::desktop
