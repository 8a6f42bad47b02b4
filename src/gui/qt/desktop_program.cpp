#include "gui/qt/desktop_program.h"

#include <QCoreApplication>

#include "gui/qt/settings_dialog.h"

namespace merovan::gui {

DesktopProgram::DesktopProgram(GuiContext context, driver::DriverServices services,
                               driver::DriverOptions options)
    : context_(context),
      viewThread_(context.messages),
      program_(viewThread_, context.files.clock, std::move(services), std::move(options),
               [this](int status) {
                   QMetaObject::invokeMethod(
                       this, [this, status] { emit finished(status); }, Qt::QueuedConnection);
               }),
      window_(context, program_.presenter()) {
    viewThread_.setBoxParent(&window_);
    connect(&window_, &MainWindow::endRequested, this, &DesktopProgram::end);
}

DesktopProgram::~DesktopProgram() {
    program_.stop([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); });
    // A dialog's end reports to this program; it must still be there.
    window_.deleteDialogs();
}

bool DesktopProgram::start() {
    if (program_.start()) {
        return true;
    }
    // Start-up failed after param.ini was read: the settings dialog stays for the user to
    // correct the settings, and the program ends when it closes.
    if (SettingsDialog* dialog = window_.settingsDialog()) {
        connect(dialog, &QObject::destroyed, this, &DesktopProgram::end);
        return true;
    }
    return false;
}

void DesktopProgram::startCommandLine(driver::CommandLineJob job) {
    window_.show();
    program_.startCommandLine(std::move(job));
}

void DesktopProgram::end() {
    program_.end([this](bool driverThread) {
        window_.closeDialogs();
        if (!driverThread) {
            window_.hide();
        }
    });
}

}  // namespace merovan::gui
