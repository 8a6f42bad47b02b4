#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace merovan::jobs {

// What identifies one version of a job file: a POS that writes a new job under the same name,
// or touches the file, changes at least one of these.
struct JobFingerprint {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::uint64_t contentHash = 0;

    bool operator==(const JobFingerprint&) const = default;
};

// The fingerprint of a file as it is now, or none when it cannot be read.
std::optional<JobFingerprint> fingerprintOf(const std::string& path);

// The record of the jobs handed to the register, kept in a small file so that no job is
// printed twice, not even across a restart. A job is written down before its first command
// goes out and again when it is done; a job started but never done was cut short by a crash
// or a power loss and is not run again.
class JobJournal {
  public:
    explicit JobJournal(std::string path, std::size_t capacity = 256);

    // Reads the file. Returns the jobs that were started and never finished; they now count as
    // processed, and are written down as such so that the next start does not report them again.
    std::vector<std::string> load();

    // True when this job, unchanged since, was already handed to the register. Cheap while the
    // size or the modification time differ; the content is hashed only when both match.
    bool isProcessed(const std::string& jobPath) const;

    void markStarted(const std::string& jobPath, const JobFingerprint& fingerprint);
    void markDone(const std::string& jobPath, const JobFingerprint& fingerprint);

    const std::string& path() const { return path_; }

  private:
    struct Entry {
        std::string jobPath;
        JobFingerprint fingerprint;
        bool done = false;
    };

    void record(const std::string& jobPath, const JobFingerprint& fingerprint, bool done);
    const Entry* find(const std::string& jobPath) const;
    void compact();

    std::string path_;
    std::size_t capacity_;
    std::deque<Entry> entries_;  // oldest first, one per job path
    std::size_t linesInFile_ = 0;
};

}  // namespace merovan::jobs
