#include <windows.h>

#include <atomic>
#include <mutex>

#include "apps/cli_signals.h"

namespace merovan::cli {
struct StopSignals::State {};

namespace {

// The console handler takes no context; the one StopSignals of the program keeps its
// state here.
std::mutex mutex;
std::function<void()> stopCallback;
std::atomic<bool> stopRequested{false};

BOOL WINAPI onConsoleEvent(DWORD) {
    if (!stopRequested.exchange(true)) {
        std::lock_guard lock(mutex);
        if (stopCallback) {
            stopCallback();
        }
    }
    return TRUE;
}

}  // namespace

StopSignals::StopSignals() : state_(std::make_unique<State>()) {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}
StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

void StopSignals::onStop(std::function<void()> callback) {
    std::lock_guard lock(mutex);
    stopCallback = std::move(callback);
    if (stopRequested && stopCallback) {
        stopCallback();
    }
}

bool StopSignals::stopped() const {
    return stopRequested;
}

}  // namespace merovan::cli
