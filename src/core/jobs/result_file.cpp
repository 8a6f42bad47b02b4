#include "core/jobs/result_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/common/codepage.h"
#include "core/common/regular_file.h"
#include "core/common/status_file_names.h"
#include "core/jobs/file_places.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;

bool sameFile(const std::optional<common::FileStamp>& a,
              const std::optional<common::FileStamp>& b) {
    return a && b && a->device == b->device && a->inode == b->inode;
}

}  // namespace

std::vector<std::string> ownFilesOf(const std::string& workDir, const std::string& journalName) {
    std::vector<std::string> files;
    for (const std::string name :
         {"param.ini", "vats.dat", "payeft.dat", journalName.c_str(), "merovan.conf",
          common::kStatusFileName, common::kStatusLockName}) {
        files.push_back((fs::path(workDir.empty() ? "." : workDir) / name).string());
    }
    return files;
}

std::optional<std::string> checkResultFile(const std::string& path, const ResultFileRules& rules) {
    const std::string shown = common::cp1253ToUtf8(path);
    if (path.empty()) {
        return std::string("no result file named");
    }
    const auto target = resolvedPath(path);
    if (!target) {
        return shown + ": the path cannot be resolved";
    }
    // Looked at without opening it: a result file may be writable and not readable.
    std::error_code error;
    const auto type = fs::status(path, error).type();
    if (type != fs::file_type::not_found && type != fs::file_type::regular) {
        return shown + (error ? ": " + error.message() : std::string(": not a regular file"));
    }
    const auto stamp = common::regularFileStamp(path);
    for (const auto& own : rules.ownFiles) {
        const auto ownTarget = resolvedPath(own);
        if ((ownTarget && *ownTarget == *target) ||
            sameFile(stamp, common::regularFileStamp(own))) {
            return shown + ": one of the driver's own files";
        }
    }
    if (!rules.allowedDirs.empty() &&
        std::ranges::none_of(rules.allowedDirs, [&target](const std::string& dir) {
            const auto allowed = resolvedPath(dir);
            return allowed && isWithinDirectory(*target, *allowed);
        })) {
        return shown + ": outside the directories allowed for result files";
    }
    return std::nullopt;
}

}  // namespace merovan::jobs
