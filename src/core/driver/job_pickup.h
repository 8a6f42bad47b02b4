#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/jobs/job_journal.h"
#include "core/jobs/job_reading.h"

namespace merovan::driver {

// Which job files the poll takes, and the one read of each: a job is known by its canonical
// path, its bytes are read once, fingerprinted and handed on as they are, and a version is
// hashed once and refused once, never again on every tick.
class JobPickup {
  public:
    explicit JobPickup(jobs::JobJournal& journal) : journal_(journal) {}

    // Files that are never jobs, whatever a pattern matches: the driver's own.
    void setOwnFiles(const std::vector<std::string>& paths);
    // The result files the journal's jobs named are not jobs either.
    void noteResultFiles(const std::vector<std::string>& paths);

    // A new poll tick: directories are resolved afresh.
    void beginTick() { directories_.clear(); }

    // Whether the poll passes this candidate over: this version was printed or refused, or
    // (when patterns is set) it is one of the files that are not jobs.
    bool passOver(const std::string& path, bool patterns);

    struct Job {
        std::string canonicalPath;
        std::string bytes;
        jobs::JobFingerprint print;
        std::string resultFile;  // as the header names it, "Result" when it names none
    };
    struct Picked {
        std::optional<Job> job;                // to be printed
        std::optional<jobs::JobRead> refused;  // refused now, for the first time
    };
    // Reads the job for printing. Neither a job nor a refusal: it is gone, or what was read
    // is a version already printed (renamed back in place) or already refused; with again,
    // a version on record is read all the same (a job cut short, to be printed anew).
    Picked read(const std::string& path, bool again = false);

  private:
    struct Version {
        common::FileStamp stamp;
        std::uint64_t hash = 0;
    };
    // The canonical path of a job: its directory resolved (once a tick) and its name.
    std::string canonicalJobPath(const std::string& path);
    bool isRefused(const std::string& canonicalPath,
                   const std::optional<common::FileStamp>& stamp) const;
    void remember(const std::string& canonicalPath, const Version& version);
    void addResultFile(const std::string& path);

    jobs::JobJournal& journal_;
    std::unordered_set<std::string> notJobs_;      // canonical paths
    std::unordered_set<std::string> resultFiles_;  // canonical paths
    std::unordered_map<std::string, Version> versions_;
    std::unordered_map<std::string, std::string> directories_;  // as spelled -> canonical
    // The stamp of each refused version; none for a file that could not be opened at all.
    std::unordered_map<std::string, std::optional<common::FileStamp>> refused_;
};

}  // namespace merovan::driver
