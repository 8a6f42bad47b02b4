#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "core/common/regular_file.h"

namespace merovan::jobs {

// What the directory watch saw happen to one file of the job directory.
enum class FileEvent {
    Written,  // bytes were written: a writer has it open
    Closed,   // a writer closed it
    MovedIn,  // renamed into the directory, complete
    Touched,  // attributes changed; says nothing about writers
    Gone,     // deleted or renamed away
    Lost,     // the watch missed events: nothing known about any file
};

// How long a file that changed while nothing watched it must stay unchanged before it is taken.
inline constexpr std::chrono::milliseconds kDefaultQuietPeriod{2000};

// Decides whether a job file is complete. A writer of another user cannot be seen in the
// process table, so the directory watch reports what happens to each file: a file written to
// and not closed since is not taken, one closed after its last write is taken at once. A file
// the watch knows nothing about (it changed before the watch began, or the watch lost events)
// is taken once it has been left alone for the quiet period. Windows sees every writer in the
// share mode of an open and needs none of this.
class JobReadiness {
  public:
    explicit JobReadiness(std::chrono::milliseconds quietPeriod = kDefaultQuietPeriod)
        : quietPeriod_(quietPeriod) {}

    // path: the job directory as the settings give it followed by the file name.
    void record(const std::string& path, FileEvent event);
    bool isReady(const std::string& path);

  private:
    struct Seen {
        bool writing = false;
        std::optional<common::FileStamp> closedAs;  // the file as its writer left it
        std::optional<common::FileStamp> quietAs;   // unknown file, unchanged since quietSince
        std::chrono::steady_clock::time_point quietSince{};
    };
    bool quietLongEnough(Seen& seen, const common::FileStamp& stamp);

    std::chrono::milliseconds quietPeriod_;
    std::map<std::string, Seen> seen_;
};

// True when the file is a regular file (a symlink to one counts), is not empty, may be opened
// for reading, and no process that the platform lets us see holds it open for writing. Read
// permission is enough: the POS deletes its own jobs.
bool isJobFileReady(const std::string& path);

// Whether some process that the platform lets us see has the file open for writing. On POSIX
// that is every process of our own user (every process, for root); on Windows every process.
bool isOpenForWriting(const std::string& path);

// Deletes the file; every failure is ignored.
void deleteFileQuietly(const std::string& path);

// Deletes the file; false with the reason (UTF-8, naming the file) when it could not be deleted.
bool deleteFile(const std::string& path, std::string& why);

// Whether the platform's own test (isJobFileReady) sees every writer of every user, so that
// the directory watch and the quiet period are not needed.
bool platformSeesEveryWriter();

}  // namespace merovan::jobs
