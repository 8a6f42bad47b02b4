#include "core/jobs/readiness.h"

#include <filesystem>
#include <system_error>

namespace merovan::jobs {

bool IsJobFileReady(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) {
        return false;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0) {
        return false;
    }
    return CanOpenForAppend(path) && !isOpenForWriting(path);
}

void DeleteFileQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

}  // namespace merovan::jobs
