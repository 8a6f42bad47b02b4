#pragma once

#include "core/desktop/desktop_program.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/main_window.h"
#include "gui/win32/win32_view_thread.h"

namespace merovan::gui::win32 {

// The desktop program under Windows: its lifetime (core/desktop) with the main window, and a
// message loop that runs until the driver is done.
class Program {
  public:
    Program(DialogContext context, driver::DriverServices services, driver::DriverOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Normal start-up, then the driver's thread. False when the program ends at once.
    bool start();
    // The one job of a POS program's command line, on the driver's thread; run() returns its
    // exit status.
    void startCommandLine(driver::CommandLineJob job);
    // Ends the program: the job in hand is finished, the link closed, then run() returns.
    void end();
    // Runs the window thread's messages until the program has finished; its exit status.
    int run();

    MainWindow& window() { return window_; }
    desktop::DesktopPresenter& presenter() { return program_.presenter(); }
    driver::Driver& driver() { return program_.driver(); }
    driver::DriverLoop& driverLoop() { return program_.loop(); }

  private:
    Win32ViewThread viewThread_;
    desktop::DesktopProgram program_;
    MainWindow window_;
};

}  // namespace merovan::gui::win32
