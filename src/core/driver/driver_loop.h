#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "core/driver/dir_watch.h"
#include "core/driver/driver.h"

namespace merovan::driver {

// The driver's thread: runs posted operator actions and the driver's timers one at a time, so
// that a second job or exchange can never start while one runs, and picks jobs up as soon as
// the directory watch reports their writer's close.
class DriverLoop {
  public:
    using Task = std::function<void(Driver&)>;

    explicit DriverLoop(Driver& driver);
    ~DriverLoop();
    DriverLoop(const DriverLoop&) = delete;
    DriverLoop& operator=(const DriverLoop&) = delete;

    // Thread-safe.
    void post(Task task);
    // Thread-safe: run() returns once the task in hand is done; a job is never cut in half.
    void requestStop();

    // Calls beat on the loop's thread at least every interval while the loop turns, busy or
    // idle; a loop stuck in one task stops beating, which is what a watchdog wants to see.
    // Set before run.
    void setHeartbeat(std::chrono::milliseconds interval, std::function<void()> beat);

    // Runs on the calling thread until requestStop.
    void run();
    // Or on a thread of the loop's own.
    void startThread();
    void join();

  private:
    struct Armed {
        std::uint64_t generation = 0;
        std::chrono::steady_clock::time_point due{};
    };

    void fireDueTimers();
    std::chrono::steady_clock::time_point nextDue();
    void followWatchDirectory();
    void beatWhenDue();

    Driver& driver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stop_ = false;
    Armed poll_;
    Armed supervision_;
    bool pollNow_ = false;  // a job was just taken: look for the next without waiting
    std::chrono::milliseconds beatInterval_{0};
    std::function<void()> beat_;
    std::chrono::steady_clock::time_point nextBeat_ = std::chrono::steady_clock::time_point::max();
    DirWatch watch_;
    std::thread thread_;
};

}  // namespace merovan::driver
