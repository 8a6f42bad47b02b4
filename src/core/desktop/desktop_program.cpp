#include "core/desktop/desktop_program.h"

namespace merovan::desktop {

DesktopProgram::DesktopProgram(ViewThread& viewThread, common::Clock& clock,
                               driver::DriverServices services, driver::DriverOptions options,
                               std::function<void(int status)> finished)
    : presenter_(viewThread),
      driver_(presenter_, clock, std::move(services), std::move(options)),
      loop_(driver_),
      finished_(std::move(finished)) {
    presenter_.setDriverSink(
        [this](DesktopPresenter::DriverAction action) { post(std::move(action)); });
}

DesktopProgram::~DesktopProgram() {
    stop([] {});
}

bool DesktopProgram::start() {
    if (!driver_.load()) {
        return false;
    }
    startThread();
    return true;
}

void DesktopProgram::launch(std::function<int()> work) {
    thread_ = std::thread([this, work = std::move(work)] {
        const int status = work();
        driver_.shutdown();
        threadDone_ = true;
        finished_(status);
    });
}

void DesktopProgram::startThread() {
    launch([this] {
        loop_.run();
        return 0;
    });
}

void DesktopProgram::startCommandLine(driver::CommandLineJob job) {
    launch([this, job = std::move(job)] {
        // Nobody needs a time limit here: the person at the window ends the wait.
        return driver_.runCommandLine(job, std::nullopt, [this] { return stopping_.load(); });
    });
}

void DesktopProgram::post(DesktopPresenter::DriverAction action) {
    if (!thread_.joinable()) {
        action(driver_);
        return;
    }
    loop_.post(std::move(action));
}

void DesktopProgram::end(const std::function<void(bool driverThread)>& closeViews) {
    if (stopping_.exchange(true)) {
        return;
    }
    const bool running = driverRunning();
    presenter_.beginEnding(running);
    closeViews(thread_.joinable());
    if (thread_.joinable()) {
        loop_.requestStop();
        return;
    }
    driver_.shutdown();
    finished_(0);
}

void DesktopProgram::stop(const std::function<void()>& serveView) {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    stopping_ = true;
    presenter_.beginEnding(false);
    loop_.requestStop();
    if (thread_.joinable()) {
        // The driver's thread may be waiting for the view's thread (a message box): keep
        // serving it until the thread is done, then join.
        while (!threadDone_) {
            serveView();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        thread_.join();
    }
    // A dialog's end reports to the driver; after this nothing reaches it.
    presenter_.setDriverSink({});
}

}  // namespace merovan::desktop
