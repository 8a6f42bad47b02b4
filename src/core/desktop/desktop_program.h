#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "core/desktop/desktop_presenter.h"
#include "core/desktop/view_thread.h"
#include "core/driver/driver.h"
#include "core/driver/driver_loop.h"

namespace merovan::desktop {

// The desktop program's lifetime, the same under every toolkit: the presenter, and the driver
// on a thread of its own so that the window never waits for the register. Clicks are posted to
// the driver's thread and run there one at a time; what the driver reports reaches the
// presenter. The view owns this object, draws the presenter and forwards its end.
class DesktopProgram {
  public:
    // finished gets the program's exit status once the driver is done. It is called on the
    // driver's thread, or on the thread that called end() when no driver thread ran: the view
    // moves it to its own thread.
    DesktopProgram(ViewThread& viewThread, common::Clock& clock, driver::DriverServices services,
                   driver::DriverOptions options, std::function<void(int status)> finished);
    // Stops and joins the driver's thread, serving nothing: call stop() first when the driver
    // may be waiting for the view (a message box).
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    // Normal start-up, then the driver's thread. False when start-up failed (the settings
    // may be waiting to be corrected).
    bool start();
    // Until the thread starts, clicks run the driver right on the caller's thread: tests drive
    // the driver from there.
    void startThread();
    // The one job of a POS program's command line, on the driver's thread; finished carries
    // its exit status.
    void startCommandLine(driver::CommandLineJob job);
    // Ends the program: the presenter shows the ending, closeViews(driverThread) closes the
    // view's dialogs (and hides the window when no driver thread ran: nothing is left to wait
    // for), then the job in hand is finished, the link closed and finished called. A second
    // call does nothing.
    void end(const std::function<void(bool driverThread)>& closeViews);
    // Stops the driver and waits for its thread; serveView runs the view's pending calls
    // meanwhile, as the driver's thread may be waiting for one. No action reaches the driver
    // afterwards.
    void stop(const std::function<void()>& serveView);

    bool driverRunning() const { return thread_.joinable() && !threadDone_; }
    driver::Driver& driver() { return driver_; }
    // The driver's loop, for what serves it from outside (a heartbeat, the network
    // interface); set those up before start().
    driver::DriverLoop& loop() { return loop_; }
    DesktopPresenter& presenter() { return presenter_; }

  private:
    void post(DesktopPresenter::DriverAction action);
    void launch(std::function<int()> work);

    DesktopPresenter presenter_;
    driver::Driver driver_;
    driver::DriverLoop loop_;
    std::function<void(int)> finished_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> threadDone_{false};
    bool stopped_ = false;
};

}  // namespace merovan::desktop
