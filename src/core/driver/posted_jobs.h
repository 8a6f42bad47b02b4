#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/driver/recovery.h"

namespace merovan::driver {

// Jobs handed in over the network rather than dropped into the exchange directory. Each is
// kept in a spool directory of its own as two files, both written through a side file renamed
// into place and made durable before the job counts as accepted: <id>.job, the job exactly as
// it is to be printed (code page 1253), and <id>.key, the idempotency key it came with. The
// id follows from the key, so a key asked for again, also after a crash, finds its job and
// the journal (which keys jobs by path) never prints that job twice. When a job ends, what it
// wrote to its result file is kept in <id>.out, so that its answer outlives the program.
// Thread-safe: the network side submits and asks, the driver's thread takes and reports.
class PostedJobs {
  public:
    enum class State { Queued, Printing, Done, Interrupted };

    struct View {
        std::string id;
        State state = State::Queued;
        // For an interrupted job, what recovery did with it: complete, table-closed,
        // unreadable, printed-again (the last then goes on to Printing and Done).
        std::string recovery;
        std::optional<int> exitCode;
        std::string resultLines;  // as the result file holds them, code page 1253
    };

    struct Submitted {
        enum class Outcome { Accepted, Repeated, Conflict, Failed } outcome = Outcome::Failed;
        std::optional<View> job;  // Accepted and Repeated
        std::string error;        // Failed: why (UTF-8, naming the file)
    };

    explicit PostedJobs(std::string spoolDir);

    // Creates the spool directory (private to the service user) and reads what it holds.
    // False, with the reason in error, when it cannot be used.
    bool load(std::string& error);

    // Accepts a job under a key: Accepted when it is new, Repeated when the key was given
    // before with the same body, Conflict when with another body.
    Submitted submit(const std::string& key, const std::string& body);
    std::optional<View> find(const std::string& id) const;
    // As find, but waits up to timeout for a job that has not ended yet.
    std::optional<View> awaitEnd(const std::string& id, std::chrono::milliseconds timeout) const;

    // The driver's side. The oldest accepted job not yet taken, as a path to print.
    std::optional<std::string> nextJobPath() const;
    // A job of this spool (others are passed over) goes to the register; resultFile is the
    // file its header names, whose end is noted so that its lines can be told apart.
    void started(const std::string& jobPath, const std::string& resultFile);
    void finished(const std::string& jobPath, int exitCode);
    // The journal had it on record already: it is not offered again.
    void passedOver(const std::string& jobPath);
    void recovered(const std::string& jobPath, Recovered what);

    const std::string& directory() const { return dir_; }
    // The id a key is kept under.
    static std::string idOfKey(const std::string& key);

  private:
    struct Entry {
        View view;
        std::uint64_t order = 0;
        std::string resultFile;
        std::uintmax_t resultStart = 0;
    };
    std::string pathOf(const std::string& id, const char* suffix) const;
    Entry* entryOfPath(const std::string& jobPath);
    void loadEntry(const std::string& id);
    // Ends the job: its answer is written to <id>.out before anyone is told.
    void end(Entry& entry, State state);

    std::string dir_;
    std::string canonicalDir_;
    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    std::map<std::string, Entry> entries_;
    std::uint64_t nextOrder_ = 0;
};

const char* stateName(PostedJobs::State state);
const char* recoveryName(Recovered what);

}  // namespace merovan::driver
