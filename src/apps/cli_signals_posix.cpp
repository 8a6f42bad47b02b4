#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "apps/cli_signals.h"

namespace merovan::cli {
struct StopSignals::State {
    std::mutex mutex;
    std::function<void()> callback;
    std::atomic<bool> stopped{false};
    std::thread waiter;
    sigset_t set{};
};

StopSignals::StopSignals() : state_(std::make_unique<State>()) {
    State& s = *state_;
    sigemptyset(&s.set);
    sigaddset(&s.set, SIGINT);
    sigaddset(&s.set, SIGTERM);
    sigaddset(&s.set, SIGUSR1);  // only to wake the waiter at the end
    pthread_sigmask(SIG_BLOCK, &s.set, nullptr);
    s.waiter = std::thread([&s] {
        int signal = 0;
        while (sigwait(&s.set, &signal) == 0) {
            if (signal == SIGUSR1) {
                return;
            }
            if (!s.stopped.exchange(true)) {
                std::lock_guard lock(s.mutex);
                if (s.callback) {
                    s.callback();
                }
            }
        }
    });
}

StopSignals::~StopSignals() {
    State& s = *state_;
    pthread_kill(s.waiter.native_handle(), SIGUSR1);
    s.waiter.join();
}

void StopSignals::onStop(std::function<void()> callback) {
    State& s = *state_;
    std::lock_guard lock(s.mutex);
    s.callback = std::move(callback);
    if (s.stopped && s.callback) {
        s.callback();
    }
}

bool StopSignals::stopped() const {
    return state_->stopped;
}

}  // namespace merovan::cli
