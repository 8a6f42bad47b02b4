#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/http/http_settings.h"

namespace merovan::http {

common::Result<void> checkTokenFilePrivate(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return common::Error{"token file " + path + ": " + std::strerror(errno)};
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return common::Error{"token file " + path +
                             ": readable by others than its owner; make it chmod 600"};
    }
    return {};
}

}  // namespace merovan::http
