// merovan.exe: the driver's desktop program for Windows, with its window, menus and tray icon.
#include "gui/win32/windows_api.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "apps/driver_watch.h"
#include "core/common/clock.h"
#include "core/common/locale_decimal.h"
#include "core/desktop/desktop_start.h"
#include "core/link/system_transport_factory.h"
#include "gui/win32/program.h"
#include "gui/win32/screenshots.h"
#include "gui/win32/wide_text.h"

namespace {

using namespace merovan;

// The program's arguments in UTF-8, without the program's name.
std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i) {
        result.push_back(gui::win32::toUtf8(words[i]));
    }
    LocalFree(words);
    return result;
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    const std::vector<std::string> words = arguments();
    if (words.size() == 2 && words[0] == "--screenshots") {
        return gui::win32::takeScreenshots(std::filesystem::path(gui::win32::toWide(words[1])));
    }
    // A POS program passes its six fields as they are.
    std::string line;
    for (const auto& word : words) {
        line += (line.empty() ? "" : " ") + word;
    }

    gui::win32::SystemMessageBoxes messages;
    const auto start = desktop::readDesktopCommandLine(line);
    if (start.optionsTooShort) {
        return desktop::sayFarewell(
            [&messages](const common::MessageBox& box) { messages.show(nullptr, box); });
    }

    common::SystemClock clock;
    gui::win32::DialogContext context{{".", clock, common::localeDecimalSeparator()}, messages};
    driver::DriverServices services;
    services.transports = link::systemTransportFactory();
    driver::DriverOptions options;
    options.decimalSeparator = context.files.decimalSeparator;
    const auto say = [&messages](const common::MessageBox& box) { messages.show(nullptr, box); };
    auto watch = apps::DriverWatch::forDesktop(!start.job, services, options, say);
    if (!watch) {
        return desktop::kCannotStart;
    }

    gui::win32::Program program(context, std::move(services), std::move(options));
    if (start.job) {
        program.startCommandLine(*start.job);
    } else {
        (*watch)->attach(program.driverLoop(), say);
        if (!program.start()) {
            return desktop::kCannotStart;
        }
    }
    const int status = program.run();
    // The network interface stops before the driver it serves goes away.
    if (*watch) {
        (*watch)->detach();
    }
    return status;
}
