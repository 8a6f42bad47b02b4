#include "core/http/http_settings.h"

namespace merovan::http {

// The file's access list is the installer's business on Windows; only its content is checked.
common::Result<void> checkTokenFilePrivate(const std::string& /*path*/) {
    return {};
}

}  // namespace merovan::http
