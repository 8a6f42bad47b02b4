// merovan: the driver's desktop program, with its window, menus and tray icon.
#include <QApplication>
#include <QStringList>
#include <clocale>
#include <cstdio>

#include "core/common/clock.h"
#include "core/common/codepage.h"
#include "core/common/file_size_signal.h"
#include "core/common/locale_decimal.h"
#include "core/link/system_transport_factory.h"
#include "core/settings/command_line.h"
#include "gui/qt/desktop_program.h"
#include "gui/qt/farewell.h"

namespace {

// Exit status when param.ini is missing or unreadable, as for the headless program.
constexpr int kCannotStart = 5;

}  // namespace

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

    std::optional<merovan::driver::CommandLineJob> job;
    if (!line.empty()) {
        const auto fields = merovan::settings::parseCommandLine(line);
        const auto parsed = merovan::settings::settingsFromCommandLine(fields);
        if (parsed.optionsTooShort) {
            // Also on standard output, where a POS program that started us may read it.
            std::fputs(
                (merovan::common::cp737ToUtf8(merovan::settings::farewellText()) + "\n").c_str(),
                stdout);
            return merovan::gui::showFarewell(messages);
        }
        job = merovan::driver::CommandLineJob{parsed.settings, fields[2], line};
    }

    merovan::gui::DesktopProgram program(context, std::move(services), std::move(options));
    QObject::connect(&program, &merovan::gui::DesktopProgram::finished, &app,
                     [](int status) { QApplication::exit(status); });
    if (job) {
        program.startCommandLine(std::move(*job));
    } else if (!program.start()) {
        return kCannotStart;
    }
    return QApplication::exec();
}
