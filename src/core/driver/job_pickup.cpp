#include "core/driver/job_pickup.h"

#include <filesystem>

#include "core/common/canonical_path.h"
#include "core/jobs/job_file.h"

namespace merovan::driver {
namespace {

// How many remembered names are kept before those of vanished files are let go.
constexpr std::size_t kPruneAt = 1024;

bool fileIsGone(const std::string& path) {
    common::FileError error;
    return !common::regularFileStamp(path, &error) && error.missing;
}

bool isOtherThanAFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

}  // namespace

void JobPickup::setOwnFiles(const std::vector<std::string>& paths) {
    notJobs_.clear();
    for (const auto& path : paths) {
        if (auto canonical = common::canonicalPath(path); !canonical.empty()) {
            notJobs_.insert(std::move(canonical));
        }
    }
}

void JobPickup::noteResultFiles(const std::vector<std::string>& paths) {
    for (const auto& path : paths) {
        addResultFile(path);
    }
}

void JobPickup::addResultFile(const std::string& path) {
    auto canonical = common::canonicalPath(path);
    if (canonical.empty() || resultFiles_.contains(canonical)) {
        return;
    }
    if (resultFiles_.size() >= kPruneAt) {
        std::erase_if(resultFiles_, [](const std::string& file) { return fileIsGone(file); });
    }
    resultFiles_.insert(std::move(canonical));
}

std::string JobPickup::canonicalJobPath(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    const std::string spelled = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    auto found = directories_.find(spelled);
    if (found == directories_.end()) {
        found = directories_.emplace(spelled, common::canonicalPath(spelled)).first;
    }
    const std::string& dir = found->second;
    if (dir.empty()) {
        return {};
    }
    constexpr auto kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
    return dir.ends_with(kSeparator) ? dir + name : dir + kSeparator + name;
}

bool JobPickup::isRefused(const std::string& canonicalPath,
                          const std::optional<common::FileStamp>& stamp) const {
    const auto found = refused_.find(canonicalPath);
    if (found == refused_.end()) {
        return false;
    }
    // A file that cannot even be opened as a regular file stays refused until it can.
    return found->second == stamp;
}

void JobPickup::remember(const std::string& canonicalPath, const Version& version) {
    if (versions_.size() >= kPruneAt + 2 * journal_.size()) {
        std::erase_if(versions_, [this](const auto& item) {
            return !journal_.knowsStamp(item.first, item.second.stamp);
        });
    }
    versions_[canonicalPath] = version;
}

bool JobPickup::passOver(const std::string& path, bool patterns) {
    const std::string canonical = canonicalJobPath(path);
    if (canonical.empty()) {
        return false;
    }
    if (patterns && (notJobs_.contains(canonical) || resultFiles_.contains(canonical))) {
        return true;
    }
    const auto stamp = common::regularFileStamp(canonical);
    if (!stamp && patterns && isOtherThanAFile(canonical)) {
        return true;  // a directory or a FIFO that a pattern matches must not hold up the jobs
    }
    if (isRefused(canonical, stamp)) {
        return true;
    }
    if (!stamp || !journal_.knowsStamp(canonical, *stamp)) {
        return false;
    }
    // A version on record: hashed once to be sure it is the bytes that were printed.
    const auto known = versions_.find(canonical);
    if (known != versions_.end() && known->second.stamp == *stamp) {
        return journal_.isProcessed(canonical, {*stamp, known->second.hash});
    }
    const jobs::JobRead read = jobs::readJobFile(canonical);
    if (read.refusal != jobs::JobRefusal::None || !read.stamp) {
        return false;
    }
    const Version version{*read.stamp, jobs::hashJobBytes(read.bytes)};
    remember(canonical, version);
    return journal_.isProcessed(canonical, {version.stamp, version.hash});
}

JobPickup::Picked JobPickup::read(const std::string& path, bool again) {
    Picked picked;
    const std::string canonical = canonicalJobPath(path);
    if (canonical.empty()) {
        return picked;
    }
    jobs::JobRead read = jobs::readJobFile(canonical);
    if (read.missing) {
        return picked;
    }
    if (read.refusal != jobs::JobRefusal::None) {
        if (!isRefused(canonical, read.stamp)) {
            if (refused_.size() >= kPruneAt) {
                std::erase_if(refused_, [](const auto& item) { return fileIsGone(item.first); });
            }
            refused_[canonical] = read.stamp;
            picked.refused = std::move(read);
        }
        return picked;
    }
    const Version version{*read.stamp, jobs::hashJobBytes(read.bytes)};
    remember(canonical, version);
    const jobs::JobFingerprint print{version.stamp, version.hash};
    if (!again && journal_.isProcessed(canonical, print)) {
        return picked;
    }
    const auto named = jobs::namedResultFile(read.bytes);
    if (named) {
        addResultFile(*named);
    }
    picked.job =
        Job{canonical, std::move(read.bytes), print, named.value_or(jobs::findResultFile(""))};
    return picked;
}

}  // namespace merovan::driver
