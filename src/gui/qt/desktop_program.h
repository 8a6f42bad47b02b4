#pragma once

#include <QObject>

#include "core/desktop/desktop_program.h"
#include "gui/qt/gui_context.h"
#include "gui/qt/main_window.h"
#include "gui/qt/qt_view_thread.h"

namespace merovan::gui {

// The desktop program under Qt: its lifetime (core/desktop) with the main window, and its end
// as a signal on the GUI thread.
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
    void startThread() { program_.startThread(); }
    // The one job of a POS program's command line, on the driver's thread; finished carries
    // its exit status.
    void startCommandLine(driver::CommandLineJob job);
    // Ends the program: the job in hand is finished, the link closed, then finished is sent.
    void end();

    MainWindow& window() { return window_; }
    driver::Driver& driver() { return program_.driver(); }
    driver::DriverLoop& driverLoop() { return program_.loop(); }
    desktop::DesktopPresenter& presenter() { return program_.presenter(); }

  signals:
    void finished(int status);

  private:
    GuiContext context_;
    QtViewThread viewThread_;
    desktop::DesktopProgram program_;
    MainWindow window_;
};

}  // namespace merovan::gui
