#include "core/link/trace.h"

namespace merovan::link {

std::string renderForTrace(std::string_view text) {
    std::string rendered;
    rendered.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32) {
            rendered += "ASC(" + std::to_string(code) + ") ";
        } else {
            rendered += c;
        }
    }
    return rendered;
}

}  // namespace merovan::link
