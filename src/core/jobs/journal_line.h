#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/regular_file.h"

// One record of the job journal as a line of text. Every line stands on its own (the mark, the
// whole fingerprint, the job and its result file) and ends with a check sum of itself, so a
// line cut short by a crash or overwritten by garbage is told from a good one.
namespace merovan::jobs {

// One version of a job file: what a copy cannot keep (its identity and change time) and a
// hash of the bytes that were actually read for printing.
struct JobFingerprint {
    common::FileStamp stamp;
    std::uint64_t contentHash = 0;
    bool operator==(const JobFingerprint&) const = default;
};

// The hash a fingerprint carries.
std::uint64_t hashJobBytes(std::string_view bytes);

enum class JournalMark : char { Started = 'S', Closing = 'C', Done = 'D' };

struct JournalLine {
    JournalMark mark = JournalMark::Started;
    JobFingerprint print;
    std::string jobPath;
    std::string resultFile;
};

// The longest line a journal holds. A longer one is damage, not a record: paths are bounded
// well below this, and reading stops looking for its end here.
inline constexpr std::size_t kMaxJournalLineBytes = 32 * 1024;
// The longest path a line records; a longer name cannot be a file anybody opens.
inline constexpr std::size_t kMaxJournalPathBytes = 4096;

// The line with its line end.
std::string formatJournalLine(const JournalLine& line);
// The record of one line (without its line end), or none when it is not a whole good record.
std::optional<JournalLine> parseJournalLine(std::string_view text);

}  // namespace merovan::jobs
