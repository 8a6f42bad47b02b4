#pragma once

#include <functional>
#include <memory>
#include <string>

namespace merovan::driver {

// Reports the names of files that a writer closed, or that were moved or touched, in one
// directory, so that a job is picked up as soon as its writer is done instead of at the next
// poll tick. Runs a thread of its own; the callback runs on that thread. Where the platform
// offers no such reports, nothing is reported and the poll tick does all the work.
class DirWatch {
  public:
    using Callback = std::function<void(const std::string& name)>;

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
