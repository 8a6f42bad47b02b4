#include "gui/qt/desktop_program.h"

#include <QCoreApplication>
#include <chrono>

#include "gui/qt/settings_dialog.h"

namespace merovan::gui {

DesktopProgram::DesktopProgram(GuiContext context, driver::DriverServices services,
                               driver::DriverOptions options)
    : context_(context),
      viewThread_(context.messages),
      presenter_(viewThread_),
      window_(context, presenter_),
      driver_(presenter_, context.files.clock, std::move(services), std::move(options)),
      loop_(driver_) {
    viewThread_.setBoxParent(&window_);
    presenter_.setDriverSink(
        [this](desktop::DesktopPresenter::DriverAction action) { post(std::move(action)); });
    connect(&window_, &MainWindow::endRequested, this, &DesktopProgram::end);
}

DesktopProgram::~DesktopProgram() {
    stopping_ = true;
    presenter_.beginEnding(false);
    loop_.requestStop();
    if (thread_.joinable()) {
        // The driver's thread may be waiting for the GUI thread (a message box): keep serving
        // it until the thread is done, then join.
        while (!threadDone_) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        thread_.join();
    }
    // A dialog's end reports to the driver and to this program; both must still be there.
    presenter_.setDriverSink({});
    window_.deleteDialogs();
}

bool DesktopProgram::start() {
    if (driver_.load()) {
        startThread();
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

void DesktopProgram::launch(std::function<int()> work) {
    thread_ = std::thread([this, work = std::move(work)] {
        const int status = work();
        driver_.shutdown();
        threadDone_ = true;
        QMetaObject::invokeMethod(
            this, [this, status] { emit finished(status); }, Qt::QueuedConnection);
    });
}

void DesktopProgram::startThread() {
    launch([this] {
        loop_.run();
        return 0;
    });
}

void DesktopProgram::startCommandLine(driver::CommandLineJob job) {
    window_.show();
    launch([this, job = std::move(job)] {
        // Nobody needs a time limit here: the person at the window ends the wait.
        return driver_.runCommandLine(job, std::nullopt, [this] { return stopping_.load(); });
    });
}

void DesktopProgram::post(desktop::DesktopPresenter::DriverAction action) {
    if (!thread_.joinable()) {
        action(driver_);
        return;
    }
    loop_.post(std::move(action));
}

void DesktopProgram::end() {
    if (stopping_.exchange(true)) {
        return;
    }
    presenter_.beginEnding(thread_.joinable() && !threadDone_);
    window_.closeDialogs();
    if (thread_.joinable()) {
        loop_.requestStop();
        return;
    }
    window_.hide();
    driver_.shutdown();
    QMetaObject::invokeMethod(
        this, [this] { emit finished(0); }, Qt::QueuedConnection);
}

}  // namespace merovan::gui
