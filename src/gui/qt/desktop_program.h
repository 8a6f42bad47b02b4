#pragma once

#include <QObject>
#include <atomic>
#include <thread>

#include "core/desktop/desktop_presenter.h"
#include "core/driver/driver.h"
#include "core/driver/driver_loop.h"
#include "gui/qt/gui_context.h"
#include "gui/qt/main_window.h"
#include "gui/qt/qt_view_thread.h"

namespace merovan::gui {

// The desktop program: the presenter and its main window, and the driver on a thread of its
// own so that the window never waits for the register. Clicks are posted to the driver's
// thread and run there one at a time; what the driver reports reaches the presenter.
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
    desktop::DesktopPresenter& presenter() { return presenter_; }

  signals:
    void finished(int status);

  private:
    void post(desktop::DesktopPresenter::DriverAction action);
    void launch(std::function<int()> work);

    GuiContext context_;
    QtViewThread viewThread_;
    desktop::DesktopPresenter presenter_;
    MainWindow window_;
    driver::Driver driver_;
    driver::DriverLoop loop_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> threadDone_{false};
};

}  // namespace merovan::gui
