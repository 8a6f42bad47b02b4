#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/common/regular_file.h"
#include "core/jobs/journal_line.h"

namespace merovan::jobs {

// A job the journal saw started and never done.
struct InterruptedJob {
    std::string jobPath;       // canonical path, as recorded
    std::string resultFile;    // the result file its header named (code page 1253 bytes)
    bool closingSent = false;  // its closing payment may have reached the register
};

// The record of the jobs handed to the register, kept in a small text file so that no job is
// printed twice, not even across a crash. A job is written down before its first command goes
// out, before the command that may close its receipt, and when it is done. Jobs are keyed by
// their canonical path; a version is told apart by its stamp and the hash of the bytes read
// for printing. An entry is forgotten only when its file is gone or has changed, never by age,
// and the file is kept short by leaving such entries out when it is rewritten.
class JobJournal {
  public:
    explicit JobJournal(std::string path);

    // Reads the journal. Returns the jobs started and never done, oldest first; they stay
    // unfinished until markDone. A damaged journal is moved aside to path + ".bad" and said
    // in problem (UTF-8, empty when all is well); the driver starts anyway.
    std::vector<InterruptedJob> load(std::string& problem);

    // True when this version of the job was handed to the register (done or cut short).
    bool isProcessed(const std::string& canonicalPath, const JobFingerprint& print) const;
    // True when the job's recorded version carries this stamp: only then is a hash of its
    // bytes worth taking to ask isProcessed.
    bool knowsStamp(const std::string& canonicalPath, const common::FileStamp& stamp) const;
    // The result files named by the jobs on record.
    std::vector<std::string> resultFiles() const;
    std::size_t size() const { return entries_.size(); }

    // Each returns false, with the reason in error (UTF-8, naming the journal file and the
    // OS reason), when the mark is not durably on disk. A job whose started mark failed is
    // not on record; a failed done mark still counts the job as done for this run.
    bool markStarted(const std::string& canonicalPath, const JobFingerprint& print,
                     const std::string& resultFile, std::string& error);
    bool markClosing(const std::string& canonicalPath, std::string& error);
    bool markDone(const std::string& canonicalPath, std::string& error);

    const std::string& path() const { return path_; }

  private:
    struct Entry {
        JobFingerprint print;
        std::string resultFile;
        JournalMark mark = JournalMark::Started;
        std::uint64_t order = 0;  // when it was started, for oldest first
    };

    void apply(JournalLine line);
    bool append(const JournalLine& line, std::string& error);
    void compactWhenLong();
    bool compact(std::string& error);

    std::string path_;
    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t nextOrder_ = 0;
    std::size_t linesInFile_ = 0;
    std::size_t compactAt_ = 0;  // lines in the file that call for a rewrite
};

}  // namespace merovan::jobs
