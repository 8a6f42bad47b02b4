#include "gui/win32/program.h"

namespace merovan::gui::win32 {

Program::Program(DialogContext context, driver::DriverServices services,
                 driver::DriverOptions options)
    : viewThread_(context.messages),
      program_(viewThread_, context.files.clock, std::move(services), std::move(options),
               [this](int status) {
                   // After every update the driver posted before it.
                   viewThread_.post([status] { PostQuitMessage(status); });
               }),
      window_(context, program_.presenter(), [this] { end(); }) {
    viewThread_.setBoxOwner(window_.handle());
}

Program::~Program() {
    program_.stop([this] {
        serveWindowMessages();
        viewThread_.runQueued();
    });
    window_.closeDialogs();
}

bool Program::start() {
    if (program_.start()) {
        return true;
    }
    // Start-up failed after param.ini was read: the settings dialog stays for the user to
    // correct the settings, and the program ends when it closes.
    if (window_.settingsDialogRequested()) {
        window_.endAfterSettings();
        return true;
    }
    return false;
}

void Program::startCommandLine(driver::CommandLineJob job) {
    window_.show();
    program_.startCommandLine(std::move(job));
}

void Program::end() {
    program_.end([this](bool driverThread) {
        window_.closeDialogs();
        if (!driverThread) {
            window_.hide();
        }
    });
}

int Program::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window_.translate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace merovan::gui::win32
