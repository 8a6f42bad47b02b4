#include "gui/win32/main_window_parts.h"

#include <shellapi.h>

#include <filesystem>

#include "core/desktop/help_text.h"
#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {

void MainWindow::onCommand(Command command) {
    // The settings menu is off while printing runs; its shortcuts must be too.
    const bool settingsOn = presenter_.controls().settings;
    switch (command) {
        case Command::Parameters:
            if (settingsOn) {
                openSettingsDialog();
            }
            break;
        case Command::CardPayments:
            if (settingsOn) {
                openCardPaymentDialog();
            }
            break;
        case Command::HelpText:
            if (settingsOn) {
                openHelpText();
            }
            break;
        case Command::ErrorClear:
            if (settingsOn) {
                presenter_.clearError();
            }
            break;
        case Command::Trace:
            if (settingsOn) {
                presenter_.setTraceShown(!presenter_.traceShown());
            }
            break;
        case Command::XFinancial:
            presenter_.report(supervision::Report::XFinancial);
            break;
        case Command::XPeriodic:
            presenter_.report(supervision::Report::XPeriodic);
            break;
        case Command::ZDaily:
            presenter_.report(supervision::Report::ZDaily);
            break;
        case Command::ZPeriodic:
            presenter_.report(supervision::Report::ZPeriodic);
            break;
        case Command::End:
            endRequested_();
            break;
        case Command::About:
            openAbout();
            break;
        case Command::Show:
            showWindow(true);
            break;
        case Command::Hide:
            showWindow(false);
            break;
        case Command::Start:
        case Command::TrayStart:
            presenter_.start();
            break;
        case Command::Stop:
        case Command::TrayStop:
            presenter_.stop();
            break;
        case Command::TrayZReport:
            presenter_.trayZReport();
            break;
        case Command::NoticeSeen:
            presenter_.noticeSeen();
            break;
    }
}

void MainWindow::openSettingsDialog() {
    if (settingsOpen_) {
        return;
    }
    settingsOpen_ = true;
    presenter_.settingsDialogShown(true);
    const SettingsOutcome outcome = runSettingsDialog(window_, context_);
    settingsOpen_ = false;
    presenter_.settingsDialogShown(false);
    if (outcome == SettingsOutcome::Saved || endAfterSettings_) {
        endRequested_();
    }
}

void MainWindow::openCardPaymentDialog() {
    runCardPaymentDialog(window_, context_);
}

void MainWindow::openAbout() {
    if (showAboutBox(window_, context_.messages)) {
        showWindow(true);
    }
}

void MainWindow::openHelpText() {
    const std::string name = desktop::kHelpTextName;
    std::error_code ignored;
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::vector<std::string> places = {
        toUtf8(std::filesystem::absolute(toWide(context_.files.pathOf(name)), ignored).wstring()),
        toUtf8((std::filesystem::path(program).parent_path() / name).wstring())};
    if (const auto found = desktop::findHelpText(places)) {
        const std::wstring argument = L"\"" + toWide(*found) + L"\"";
        ShellExecuteW(window_, nullptr, L"notepad.exe", argument.c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    context_.messages.show(window_, common::formatMessageBox(desktop::helpTextMissing(places),
                                                             common::buttons::kExclamation, {}));
}

}  // namespace merovan::gui::win32
