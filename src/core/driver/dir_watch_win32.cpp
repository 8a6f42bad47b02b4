#include "core/driver/dir_watch.h"

namespace merovan::driver {

// No change reports on this platform yet: the poll tick finds every job.
struct DirWatch::Impl {};

DirWatch::DirWatch(Callback) : impl_(std::make_unique<Impl>()) {}
DirWatch::~DirWatch() = default;

bool DirWatch::watch(const std::string& directory) {
    directory_ = directory;
    return false;
}

}  // namespace merovan::driver
