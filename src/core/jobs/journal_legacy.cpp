#include "core/jobs/journal_legacy.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <string>

#include "core/jobs/job_reading.h"

namespace merovan::jobs {
namespace {

// The next blank-separated number, moving text past it and its blank.
template <typename Number>
bool takeNumber(std::string_view& text, Number& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end == text.data() + text.size() || *end != ' ') {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
    return true;
}

// The write time as the earlier versions counted it: the library's file clock on POSIX, the
// file time on Windows (the stamp's own count).
bool sameWriteTime(const std::string& path, const common::FileStamp& stamp, std::int64_t legacy) {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    return legacy == stamp.writeTimeNs ||
           (!error &&
            legacy == std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch())
                          .count());
}

struct Legacy {
    JournalMark mark = JournalMark::Done;
    std::uint64_t size = 0;
    std::int64_t writeTime = 0;
    std::uint64_t hash = 0;
    std::string jobPath;
};

std::optional<Legacy> parseLegacy(std::string_view text) {
    // Today's lines end in their check sum: one that fails it is damage, not an old line.
    const bool checked = text.size() > 10 && text.substr(text.size() - 10, 2) == " #";
    if (checked || text.size() < 3 || (text[0] != 'S' && text[0] != 'D') || text[1] != ' ') {
        return std::nullopt;
    }
    Legacy legacy;
    legacy.mark = text[0] == 'D' ? JournalMark::Done : JournalMark::Started;
    text.remove_prefix(2);
    if (!takeNumber(text, legacy.size) || !takeNumber(text, legacy.writeTime) ||
        !takeNumber(text, legacy.hash, 16) || text.empty() || text.size() > kMaxJournalPathBytes) {
        return std::nullopt;
    }
    legacy.jobPath = std::string(text);
    return legacy;
}

}  // namespace

bool isLegacyLine(std::string_view text) {
    return parseLegacy(text).has_value();
}

std::optional<JournalLine> adoptLegacyLine(std::string_view text) {
    const auto legacy = parseLegacy(text);
    if (!legacy) {
        return std::nullopt;
    }
    const JobRead read = readJobFile(legacy->jobPath);
    if (read.refusal != JobRefusal::None || read.stamp->size != legacy->size ||
        hashJobBytes(read.bytes) != legacy->hash ||
        !sameWriteTime(legacy->jobPath, *read.stamp, legacy->writeTime)) {
        return std::nullopt;
    }
    return JournalLine{legacy->mark, {*read.stamp, legacy->hash}, legacy->jobPath, ""};
}

}  // namespace merovan::jobs
