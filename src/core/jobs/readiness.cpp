#include "core/jobs/readiness.h"

#include <filesystem>
#include <system_error>

namespace merovan::jobs {
namespace {

// Wall-clock nanoseconds, the time base of a file's change time.
std::int64_t wallClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void JobReadiness::record(const std::string& path, FileEvent event) {
    switch (event) {
        case FileEvent::Written:
            seen_[path].writing = true;
            seen_[path].closedAs.reset();
            break;
        case FileEvent::Closed:
        case FileEvent::MovedIn: {
            Seen& seen = seen_[path];
            seen.writing = false;
            seen.closedAs = common::regularFileStamp(path);
            break;
        }
        case FileEvent::Touched:
            break;
        case FileEvent::Gone:
            seen_.erase(path);
            break;
        case FileEvent::Lost:
            seen_.clear();
            break;
    }
}

bool JobReadiness::quietLongEnough(Seen& seen, const common::FileStamp& stamp) {
    const auto quietNs = std::chrono::duration_cast<std::chrono::nanoseconds>(quietPeriod_).count();
    if (quietNs <= 0 || wallClockNs() - stamp.changeTimeNs >= quietNs) {
        return true;
    }
    // A change time ahead of our clock (a network share's clock) must not hold a job for ever:
    // then the file has to stay unchanged for the quiet period as we count it.
    const auto now = std::chrono::steady_clock::now();
    if (seen.quietAs != stamp) {
        seen.quietAs = stamp;
        seen.quietSince = now;
        return false;
    }
    return now - seen.quietSince >= quietPeriod_;
}

bool JobReadiness::isReady(const std::string& path) {
    if (!isJobFileReady(path)) {
        return false;
    }
    if (platformSeesEveryWriter()) {
        return true;
    }
    const auto stamp = common::regularFileStamp(path);
    if (!stamp) {
        return false;
    }
    Seen& seen = seen_[path];
    if (seen.writing) {
        return false;
    }
    if (seen.closedAs == stamp) {
        return true;
    }
    return quietLongEnough(seen, *stamp);
}

bool isJobFileReady(const std::string& path) {
    const auto stamp = common::regularFileStamp(path);
    return stamp && stamp->size > 0 && !isOpenForWriting(path);
}

void deleteFileQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

bool deleteFile(const std::string& path, std::string& why) {
    std::error_code error;
    if (std::filesystem::remove(path, error) || !error) {
        return true;
    }
    why = path + ": " + error.message();
    return false;
}

}  // namespace merovan::jobs
