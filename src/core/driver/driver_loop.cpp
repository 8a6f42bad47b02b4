#include "core/driver/driver_loop.h"

#include <exception>

namespace merovan::driver {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Keeps a timer's next firing in step with the driver: rearmed when the driver armed it again.
bool isDue(const TimerSetting& timer, SteadyClock::time_point now, auto& armed) {
    if (!timer.enabled) {
        return false;
    }
    if (armed.generation != timer.generation) {
        armed.generation = timer.generation;
        armed.due = now + timer.interval;
        return false;
    }
    if (now < armed.due) {
        return false;
    }
    armed.due = now + timer.interval;
    return true;
}

}  // namespace

DriverLoop::DriverLoop(Driver& driver)
    : driver_(driver), watch_([this](const std::string& name, jobs::FileEvent event) {
          post([this, name, event](Driver& d) {
              pollNow_ = d.directoryChanged(name, event) || pollNow_;
          });
      }) {}

DriverLoop::~DriverLoop() {
    requestStop();
    join();
}

void DriverLoop::post(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void DriverLoop::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
}

void DriverLoop::startThread() {
    thread_ = std::thread([this] { run(); });
}

void DriverLoop::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

SteadyClock::time_point DriverLoop::nextDue() {
    if (pollNow_ && driver_.pollTimer().enabled) {
        return SteadyClock::now();
    }
    auto due = SteadyClock::time_point::max();
    const std::pair<const TimerSetting*, Armed*> timers[] = {
        {&driver_.pollTimer(), &poll_}, {&driver_.supervisionTimer(), &supervision_}};
    const auto now = SteadyClock::now();
    for (const auto& [timer, armed] : timers) {
        if (!timer->enabled) {
            continue;
        }
        if (armed->generation != timer->generation) {
            armed->generation = timer->generation;
            armed->due = now + timer->interval;
        }
        due = std::min(due, armed->due);
    }
    return due;
}

void DriverLoop::fireDueTimers() {
    const auto now = SteadyClock::now();
    if (isDue(driver_.supervisionTimer(), now, supervision_)) {
        driver_.supervisionTick();
    }
    // A backlog goes at the register's pace: after a job, the next one is looked for at once.
    const bool pollDue = isDue(driver_.pollTimer(), now, poll_);
    if (driver_.pollTimer().enabled && (pollNow_ || pollDue)) {
        pollNow_ = driver_.pollTick();
    } else {
        pollNow_ = false;
    }
}

void DriverLoop::followWatchDirectory() {
    if (const auto directory = driver_.watchDirectory()) {
        watch_.watch(*directory);
    }
}

void DriverLoop::setHeartbeat(std::chrono::milliseconds interval, std::function<void()> beat) {
    beatInterval_ = interval;
    beat_ = std::move(beat);
    nextBeat_ = SteadyClock::now();
}

void DriverLoop::beatWhenDue() {
    if (!beat_ || SteadyClock::now() < nextBeat_) {
        return;
    }
    nextBeat_ = SteadyClock::now() + beatInterval_;
    try {
        beat_();
    } catch (const std::exception& failure) {
        driver_.logFailure(failure.what());
    }
}

void DriverLoop::run() {
    followWatchDirectory();
    while (true) {
        beatWhenDue();
        Task task;
        {
            std::unique_lock lock(mutex_);
            const auto due = std::min(nextDue(), nextBeat_);
            const auto ready = [this] { return stop_ || !tasks_.empty(); };
            if (due == SteadyClock::time_point::max()) {
                wake_.wait(lock, ready);
            } else {
                wake_.wait_until(lock, due, ready);
            }
            if (stop_) {
                return;
            }
            if (!tasks_.empty()) {
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
        }
        try {
            if (task) {
                task(driver_);
            } else {
                fireDueTimers();
            }
        } catch (const std::exception& failure) {
            // A failure inside one tick or action is passed over; the driver goes on.
            driver_.logFailure(failure.what());
        }
        followWatchDirectory();
    }
}

}  // namespace merovan::driver
