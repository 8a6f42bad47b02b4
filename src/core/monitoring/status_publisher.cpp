#include "core/monitoring/status_publisher.h"

#include "core/monitoring/status_file.h"

namespace merovan::monitoring {
namespace {

using namespace std::chrono_literals;

constexpr auto kFileInterval = 1s;

}  // namespace

StatusPublisher::StatusPublisher(DriverMonitor& monitor, ServiceNotifier notifier,
                                 const std::string& workDir)
    : monitor_(monitor),
      notifier_(std::move(notifier)),
      lock_(StatusLock::take(statusLockPath(workDir), problem_)),
      path_(statusFilePath(workDir)) {
    writeFile();
}

std::chrono::milliseconds StatusPublisher::beatInterval() const {
    std::chrono::milliseconds interval = kFileInterval;
    if (const auto watchdog = notifier_.watchdog()) {
        interval = std::min(interval,
                            std::chrono::duration_cast<std::chrono::milliseconds>(*watchdog / 2));
    }
    return std::max(interval, std::chrono::milliseconds(1));
}

void StatusPublisher::changed(bool significant) {
    if (notifier_.active()) {
        if (!readyTold_ && monitor_.online()) {
            readyTold_ = notifier_.send("READY=1");
        }
        if (std::string caption = monitor_.caption(); caption != caption_) {
            caption_ = std::move(caption);
            notifier_.send("STATUS=" + caption_);
        }
    }
    // A job of many lines keeps the loop busy for long: each exchange that ends shows that the
    // driver's thread still moves.
    feedWatchdog();
    if (significant || SteadyClock::now() - lastWrite_ >= kFileInterval) {
        writeFile();
    } else {
        pending_ = true;
    }
}

void StatusPublisher::beat() {
    feedWatchdog();
    if (pending_ && SteadyClock::now() - lastWrite_ >= kFileInterval) {
        writeFile();
    }
}

void StatusPublisher::stopping() {
    notifier_.send("STOPPING=1");
    writeFile();
}

void StatusPublisher::feedWatchdog() {
    if (!notifier_.watchdog()) {
        return;
    }
    const auto now = SteadyClock::now();
    if (now - lastPing_ >= beatInterval()) {
        lastPing_ = now;
        notifier_.send("WATCHDOG=1");
    }
}

void StatusPublisher::writeFile() {
    pending_ = false;
    lastWrite_ = SteadyClock::now();
    if (!lock_) {
        return;
    }
    std::string text = statusText(monitor_.statusJson());
    if (text == written_) {
        return;
    }
    std::string error;
    if (writeStatusFile(path_, text, error)) {
        written_ = std::move(text);
        problem_.clear();
    } else {
        problem_ = error;
    }
}

}  // namespace merovan::monitoring
