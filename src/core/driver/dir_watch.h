#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/jobs/readiness.h"

namespace merovan::driver {

// Reports what happens to the files of one directory: written to, closed by a writer, moved in
// or away, touched. A job is then picked up as soon as its writer is done instead of at the next
// poll tick, and never while a writer of any user still has it open. Runs a thread of its own;
// the callback runs on that thread. Where the platform offers no such reports, nothing is
// reported and the poll tick does all the work.
class DirWatch {
  public:
    // name is empty for FileEvent::Lost.
    using Callback = std::function<void(const std::string& name, jobs::FileEvent event)>;

    explicit DirWatch(Callback callback);
    ~DirWatch();
    DirWatch(const DirWatch&) = delete;
    DirWatch& operator=(const DirWatch&) = delete;

    // Watches this directory instead of the one before; an empty text means the working
    // directory. Returns false when the directory cannot be watched.
    bool watch(const std::string& directory);

    const std::string& directory() const { return directory_; }

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string directory_;
    bool watching_ = false;
};

}  // namespace merovan::driver
