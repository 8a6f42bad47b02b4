#include "core/monitoring/status_file.h"

#include <filesystem>

#include "core/common/regular_file.h"
#include "core/common/status_file_names.h"
#include "core/jobs/job_journal_io.h"
#include "core/monitoring/status_lock.h"

namespace merovan::monitoring {
namespace {

// A status is a few hundred bytes; anything much bigger is not one.
constexpr std::uint64_t kMaxStatusBytes = 64 * 1024;

std::string inDirectory(const std::string& workDir, const char* name) {
    return (std::filesystem::path(workDir.empty() ? "." : workDir) / name).string();
}

}  // namespace

std::string statusFilePath(const std::string& workDir) {
    return inDirectory(workDir, common::kStatusFileName);
}

std::string statusLockPath(const std::string& workDir) {
    return inDirectory(workDir, common::kStatusLockName);
}

std::string statusText(const nlohmann::json& status) {
    return status.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool writeStatusFile(const std::string& path, const std::string& text, std::string& error) {
    return jobs::replaceDurably(path, text + "\n", error);
}

std::optional<nlohmann::json> readRunningStatus(const std::string& workDir) {
    if (!StatusLock::isHeld(statusLockPath(workDir))) {
        return std::nullopt;
    }
    const auto read = common::readRegularFile(statusFilePath(workDir), kMaxStatusBytes);
    if (!read) {
        return std::nullopt;
    }
    auto status = nlohmann::json::parse(read->bytes, nullptr, false);
    if (status.is_discarded() || !status.is_object()) {
        return std::nullopt;
    }
    return status;
}

}  // namespace merovan::monitoring
