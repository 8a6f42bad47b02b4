#include <fstream>

#include "apps/http_interface.h"

namespace merovan::apps {

// The Windows build has no HTTP library: asked for, the interface is refused in plain words.
common::Result<std::unique_ptr<HttpInterface>> prepareHttp(const std::string& option) {
    if (!option.empty() || std::ifstream("merovan.conf")) {
        return common::Error{"the HTTP interface is not part of the Windows build"};
    }
    return std::unique_ptr<HttpInterface>();
}

std::optional<nlohmann::json> statusOverHttp() {
    return std::nullopt;
}

}  // namespace merovan::apps
