// merovan-screenshots: pictures of the desktop program's windows in each state, for the
// documentation. It drives the real windows against the built-in register simulator.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/common/clock.h"
#include "core/link/system_transport_factory.h"
#include "core/settings/param_file.h"
#include "core/vat/vat_table.h"
#include "gui/qt/desktop_program.h"
#include "tools/register/register_simulator.h"

namespace {

using namespace merovan;

// Nobody looks at the boxes while the pictures are taken.
class LoggingMessageBoxes final : public gui::MessageBoxes {
  public:
    int show(QWidget*, const common::MessageBox& box) override {
        std::fprintf(stderr, "message: %s\n", box.text.c_str());
        return common::answers::kOk;
    }
};

void settle(int milliseconds = 150) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Without a window manager there is no frame: the picture gets a title bar of its own, so the
// caption, which tells the state, can be seen.
void saveFramed(QWidget* window, const QString& path) {
    settle();
    const QPixmap content = window->grab();
    const int bar = 24;
    QImage image(content.width() + 2, content.height() + bar + 1, QImage::Format_RGB32);
    image.fill(QColor(40, 70, 120));
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), 0);
    gradient.setColorAt(0, QColor(40, 70, 120));
    gradient.setColorAt(1, QColor(90, 130, 190));
    painter.fillRect(0, 0, image.width(), bar, gradient);
    window->windowIcon().paint(&painter, QRect(4, 4, 16, 16));
    QFont font = window->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(26, 0, image.width() - 30, bar), Qt::AlignVCenter,
                     window->windowTitle());
    painter.drawPixmap(1, bar, content);
    painter.end();
    image.save(path);
    std::printf("%s\n", path.toStdString().c_str());
}

settings::ParamDialogValues setup(const std::string& port) {
    settings::ParamDialogValues values;
    values.port = port;
    values.baud = "9600";
    values.file = "print";
    values.registerFamily = "VeskoTan";
    values.multiType = true;
    values.printDesc = true;
    values.comments = true;
    values.currency = settings::CurrencyChoice::Main;
    return values;
}

struct Workplace {
    std::filesystem::path dir;
    common::SystemClock clock;
    LoggingMessageBoxes messages;

    explicit Workplace(const std::filesystem::path& where) : dir(where) {
        std::filesystem::create_directories(dir);
    }
    void writeSetup(settings::ParamDialogValues values) {
        values.location = (dir / "").string();
        // A shot of a setup that failed to save shows it: nothing to say here.
        (void)settings::writeParamFile((dir / "param.ini").string(), values, clock.localDateTime());
        (void)vat::saveVatRates((dir / vat::kVatFileName).string(), {24, 13, 6, 0, 17});
    }
    std::unique_ptr<gui::DesktopProgram> program() {
        driver::DriverServices services;
        services.transports = link::systemTransportFactory();
        driver::DriverOptions options;
        options.workDir = dir.string();
        options.endMarker = (dir / "end.txt").string();
        return std::make_unique<gui::DesktopProgram>(
            gui::GuiContext{{dir.string(), clock, ","}, messages}, services, options);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc < 2) {
        std::fprintf(stderr, "usage: merovan-screenshots DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(".");
    const auto shot = [&out](const char* name) { return out.filePath(QString(name) + ".png"); };

    char pattern[] = "/tmp/merovan-screenshots-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("merovan-screenshots");
        return 1;
    }
    const std::filesystem::path base = pattern;

    sim::RegisterSimulator simulator({});
    simulator.start();
    Workplace online(base / "online");
    online.writeSetup(setup(simulator.endpoint()));
    auto program = online.program();
    gui::MainWindow& window = program->window();
    // The driver runs on this thread here: each state is reached before its picture.
    program->driver().load();
    window.move(40, 40);
    saveFramed(&window, shot("main-searching"));
    program->driver().supervisionTick();
    saveFramed(&window, shot("main-ready"));
    // The whole screen, with the tray icon when a tray runs.
    settle(500);
    QGuiApplication::primaryScreen()->grabWindow(0).save(shot("desktop"));
    window.findChild<QPushButton*>("Command1")->click();
    saveFramed(&window, shot("main-polling"));
    window.findChild<QPushButton*>("Command2")->click();
    saveFramed(&window, shot("main-stopped"));

    window.toggleTraceWindow();
    program->driver().clearError();
    program->driver().report(supervision::Report::XFinancial);
    saveFramed(window.traceWindow(), shot("trace-window"));
    window.toggleTraceWindow();

    window.openSettingsDialog();
    saveFramed(window.settingsDialog(), shot("settings-dialog"));
    window.settingsDialog()->close();

    window.findChild<QAction*>("about")->trigger();
    saveFramed(window.aboutBox(), shot("about-box"));
    window.aboutBox()->close();

    window.findChild<QAction*>("paramEft")->trigger();
    saveFramed(window.cardPaymentDialog(), shot("card-payments-dialog"));
    window.cardPaymentDialog()->close();

    int now = 36000;
    gui::CardWaitDialog wait([&now] { return now; });
    wait.setWindowIcon(window.windowIcon());
    wait.start();
    now += 7;
    wait.tick();
    saveFramed(&wait, shot("card-wait-dialog"));
    wait.close();
    program.reset();

    // A port that cannot be opened: supervision counts three failures and gives up.
    Workplace offline(base / "offline");
    offline.writeSetup(setup("/dev/merovan-no-register"));
    auto lost = offline.program();
    lost->driver().load();
    for (int tick = 0; tick < 4; ++tick) {
        lost->driver().supervisionTick();
    }
    saveFramed(&lost->window(), shot("main-offline"));
    lost.reset();

    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    return 0;
}
