#pragma once

#include <QObject>
#include <atomic>
#include <thread>

#include "core/driver/driver.h"
#include "core/driver/driver_loop.h"
#include "gui/gui_context.h"
#include "gui/gui_operator.h"
#include "gui/main_window.h"

namespace merovan::gui {

// The desktop program: the main window, and the driver on a thread of its own so that the
// window never waits for the register. Clicks are posted to the driver's thread and run there
// one at a time; what the driver reports comes back through the GUI operator.
class DesktopProgram final : public QObject {
    Q_OBJECT

  public:
    DesktopProgram(GuiContext context, driver::DriverServices services,
                   driver::DriverOptions options);
    ~DesktopProgram() override;

    // Normal start-up, then the driver's thread. False when the program ends at once.
    bool start();
    // Until the thread starts, clicks run the driver right on the GUI thread: tests drive the
    // driver from there.
    void startThread();
    // The one job of a POS program's command line, on the driver's thread; finished carries
    // its exit status.
    void startCommandLine(driver::CommandLineJob job);
    // Ends the program: the job in hand is finished, the link closed, then finished is sent.
    void end();

    MainWindow& window() { return window_; }
    driver::Driver& driver() { return driver_; }
    GuiOperator& op() { return op_; }

  signals:
    void finished(int status);

  private:
    void post(MainWindow::DriverAction action);
    void launch(std::function<int()> work);

    GuiContext context_;
    MainWindow window_;
    GuiOperator op_;
    driver::Driver driver_;
    driver::DriverLoop loop_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> threadDone_{false};
};

}  // namespace merovan::gui
