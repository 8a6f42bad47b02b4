#pragma once

#include <memory>
#include <string>

namespace merovan::monitoring {

// The lock a running driver holds on a file beside its status file, so that a reader can tell
// a driver that runs from a status file left behind by one that ended or died: the system
// lets go of the lock whatever way the process ends, and a process id could be another
// program's by then.
class StatusLock {
  public:
    virtual ~StatusLock() = default;

    // Takes the lock for this process's life; none when another process holds it or the file
    // cannot be made (why says so).
    static std::unique_ptr<StatusLock> take(const std::string& path, std::string& why);
    // Whether a process holds the lock now.
    static bool isHeld(const std::string& path);
};

}  // namespace merovan::monitoring
