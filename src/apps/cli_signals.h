#pragma once

#include <functional>
#include <memory>

namespace merovan::cli {

// Turns SIGINT and SIGTERM (Ctrl-C and Ctrl-Break on Windows) into a call of onStop on a
// thread of its own, where it may take locks, instead of in a signal handler. Create it first
// thing in main, before any other thread exists, so that every thread inherits the blocked
// signals.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Called at most once, when the first signal comes.
    void onStop(std::function<void()> callback);
    bool stopped() const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace merovan::cli
