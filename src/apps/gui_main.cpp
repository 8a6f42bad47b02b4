// merovan: the driver's desktop program, with its window, menus and tray icon.
#include <QApplication>
#include <QStringList>
#include <clocale>

#include "apps/driver_watch.h"
#include "core/common/clock.h"
#include "core/common/file_size_signal.h"
#include "core/common/locale_decimal.h"
#include "core/desktop/desktop_start.h"
#include "core/link/system_transport_factory.h"
#include "gui/qt/desktop_program.h"
#include "gui/qt/farewell.h"

int main(int argc, char** argv) {
    merovan::common::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Merovan");
    QApplication::setApplicationVersion(MEROVAN_VERSION);
    // Qt takes the user's locale for the whole process; the driver formats numbers for the
    // register and must keep the "." of the C locale. The user's separator is read apart.
    std::setlocale(LC_NUMERIC, "C");
    // Hidden in the tray and without dialogs the program still runs.
    QApplication::setQuitOnLastWindowClosed(false);

    // A POS program passes its six fields as they are; Qt has already taken its own options.
    QStringList words = QApplication::arguments();
    words.removeFirst();
    const std::string line = words.join(' ').toStdString();

    merovan::common::SystemClock clock;
    merovan::gui::QtMessageBoxes messages;
    merovan::gui::GuiContext context{{".", clock, merovan::common::localeDecimalSeparator()},
                                     messages};
    merovan::driver::DriverServices services;
    services.transports = merovan::link::systemTransportFactory();
    merovan::driver::DriverOptions options;
    options.decimalSeparator = context.files.decimalSeparator;

    const auto start = merovan::desktop::readDesktopCommandLine(line);
    if (start.optionsTooShort) {
        return merovan::gui::showFarewell(messages);
    }

    const auto say = [&messages](const merovan::common::MessageBox& box) {
        messages.show(nullptr, box);
    };
    auto watch = merovan::apps::DriverWatch::forDesktop(!start.job, services, options, say);
    if (!watch) {
        return merovan::desktop::kCannotStart;
    }

    merovan::gui::DesktopProgram program(context, std::move(services), std::move(options));
    QObject::connect(&program, &merovan::gui::DesktopProgram::finished, &app,
                     [](int status) { QApplication::exit(status); });
    if (start.job) {
        program.startCommandLine(*start.job);
    } else {
        (*watch)->attach(program.driverLoop(), say);
        if (!program.start()) {
            return merovan::desktop::kCannotStart;
        }
    }
    const int status = QApplication::exec();
    // The network interface stops before the driver it serves goes away.
    if (*watch) {
        (*watch)->detach();
    }
    return status;
}
