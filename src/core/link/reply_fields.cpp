#include "core/link/reply_fields.h"

namespace merovan::link {

std::string replyField(std::string_view reply, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t colon = reply.find(':', start);
        if (colon == std::string_view::npos) {
            return {};
        }
        start = colon + 1;
    }
    const std::size_t end = reply.find(':', start);
    return std::string(reply.substr(start, end == std::string_view::npos ? end : end - start));
}

}  // namespace merovan::link
