#include "gui/main_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/about_box.h"
#include "gui/debug_window.h"
#include "gui/eft_dialog.h"
#include "gui/eft_wait_dialog.h"
#include "gui/program_icon.h"
#include "gui/settings_dialog.h"

namespace merovan::gui {
namespace {

// The client area the window was designed with.
constexpr int kClientWidth = twips(6645);
constexpr int kClientHeight = twips(3345);
// The tray tip holds the caption and a terminating NUL in 64 characters.
constexpr int kTrayTipLength = 63;

QLabel* addLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A value label must not widen the fixed window; a long one is cut at the edge and shown
// whole in its tool tip.
QLabel* addValue(QWidget* parent, const char* name) {
    auto* label = addLabel(parent, name, {});
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

void setValue(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
    label->setToolTip(label->text());
}

}  // namespace

MainWindow::MainWindow(GuiContext context) : context_(std::move(context)) {
    setObjectName("frmMain");
    setWindowTitle("Merovan");
    setWindowIcon(programIcon());
    // No maximize box and no close box: the window ends only through its menu.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    buildControls();
    buildMenus();
    buildTray();
    menuBar()->adjustSize();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    mTimer_ = new QTimer(this);
    mTimer_->setInterval(1000);
    connect(mTimer_, &QTimer::timeout, this, &MainWindow::housekeeping);
    mTimer_->start();
}

MainWindow::~MainWindow() {
    deleteDialogs();
}

// Dialogs have no parent, so that disabling the window leaves them usable; they go with it.
void MainWindow::deleteDialogs() {
    delete settings_;
    delete debug_;
    delete eft_;
    delete cardWait_;
    delete about_;
}

void MainWindow::closeDialogs() {
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{settings_, debug_, eft_, cardWait_, about_}) {
        if (dialog != nullptr) {
            dialog->close();
        }
    }
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    central->setFixedSize(kClientWidth, kClientHeight);
    QFont font = central->font();
    font.setPointSizeF(8.25);
    central->setFont(font);

    auto* settings = new QGridLayout;
    settings->setHorizontalSpacing(6);
    settings->setVerticalSpacing(2);
    const std::pair<const char*, const char*> rows[] = {
        {"seriallbl", "Πόρτα επικοινωνίας"},  {"baudlbl", "Ταχύτητα         :"},
        {"filelbl", "Αρχείο              :"}, {"ecrlbl", "Ταμειακή          :"},
        {"desclbl", "Περιγραφή       :"},     {"commentslbl", "Σχόλια              :"},
        {"currlbl", "Εξόφληση         :"}};
    QLabel** values[] = {&serialtxt_, &baudtxt_,     &filetxt_, &ecrtxt_,
                         &desctxt_,   &commentstxt_, &currtxt_};
    const char* valueNames[] = {"serialtxt", "baudtxt",     "filetxt", "ecrtxt",
                                "desctxt",   "commentstxt", "currtxt"};
    for (int row = 0; row < 7; ++row) {
        settings->addWidget(addLabel(central, rows[row].first, rows[row].second), row, 0);
        *values[row] = addValue(central, valueNames[row]);
        settings->addWidget(*values[row], row, 1);
    }
    settings->setColumnStretch(1, 1);

    command1_ = new QPushButton("Έναρξη Εκτύπωσης", central);
    command1_->setObjectName("Command1");
    command2_ = new QPushButton("Διακοπή Εκτύπωσης", central);
    command2_->setObjectName("Command2");
    // The register test sequence is for the developer's bench, never for the counter.
    auto* command3 = new QPushButton("test sub", central);
    command3->setObjectName("Command3");
    command3->setEnabled(false);
    command3->hide();
    connect(command1_, &QPushButton::clicked, this, [this] {
        // Pressed as the tray presses it: a click queued behind a state change must not
        // start printing twice.
        post([](driver::Driver& d) { d.trayStart(); });
    });
    connect(command2_, &QPushButton::clicked, this,
            [this] { post([](driver::Driver& d) { d.trayStop(); }); });

    auto* receipts = new QHBoxLayout;
    receipts->addWidget(addLabel(central, "Label1", " Αριθμός Αποδείξεων"));
    lblreceipt_ = addLabel(central, "lblreceipt", {});
    receipts->addWidget(lblreceipt_);
    receipts->addStretch();

    auto* side = new QVBoxLayout;
    side->addWidget(command1_);
    side->addWidget(command2_);
    side->addSpacing(6);
    side->addLayout(receipts);
    lblProgr_ = addLabel(central, "lblProgr", {});
    side->addWidget(lblProgr_);
    side->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(settings, 1);
    top->addLayout(side);

    comstattxt_ = new QLineEdit("status", central);
    comstattxt_->setObjectName("comstattxt");
    comstattxt_->setReadOnly(true);
    // The menu's Ctrl+C clears the register's error; a focused text box would take it as copy.
    comstattxt_->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(top, 1);
    layout->addWidget(comstattxt_);
    setCentralWidget(central);
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

void MainWindow::buildMenus() {
    settingsMenu_ = menuBar()->addMenu("Επιλογές");
    settingsMenu_->setObjectName("Settings");
    // The settings menu is off while printing runs; its shortcuts must be too.
    const auto whileSettingsOn = [this](auto handler) {
        return [this, handler] {
            if (settingsMenu_->menuAction()->isEnabled()) {
                handler();
            }
        };
    };
    connect(addItem(settingsMenu_, "param", "Παράμετροι", QKeySequence("Ctrl+P")),
            &QAction::triggered, this, whileSettingsOn([this] { openSettingsDialog(); }));
    connect(addItem(settingsMenu_, "paramEft", "Παράμετροι Πιστ. Καρτών"), &QAction::triggered,
            this, whileSettingsOn([this] { openEftDialog(); }));
    settingsMenu_->addSeparator()->setObjectName("s5");
    QMenu* help = settingsMenu_->addMenu("Bοήθεια");
    help->setObjectName("help");
    connect(addItem(help, "help_text", "Ρυθμίσεις", QKeySequence("Ctrl+B")), &QAction::triggered,
            this, whileSettingsOn([this] { openHelpText(); }));
    connect(addItem(help, "errorclear", "Καθαρισμός λάθους ταμειακής", QKeySequence("Ctrl+C")),
            &QAction::triggered, this,
            whileSettingsOn([this] { post([](driver::Driver& d) { d.clearError(); }); }));
    wndDebug_ = addItem(help, "wndDebug", "Debug Επικοινωνίας");
    wndDebug_->setCheckable(true);
    connect(wndDebug_, &QAction::triggered, this, whileSettingsOn([this] { toggleDebugWindow(); }));
    // The check mark follows the window, not the click.
    connect(wndDebug_, &QAction::triggered, this, [this] { wndDebug_->setChecked(debugOn()); });

    reportsMenu_ = menuBar()->addMenu("Ισοζύγια");
    reportsMenu_->setObjectName("reports");
    const auto addReport = [this](QMenu* menu, const char* name, const QString& caption,
                                  supervision::Report report) {
        connect(addItem(menu, name, caption), &QAction::triggered, this,
                [this, report] { post([report](driver::Driver& d) { d.report(report); }); });
    };
    QMenu* xreports = reportsMenu_->addMenu("Ισοζύγια 'X'");
    xreports->setObjectName("xreports");
    addReport(xreports, "xrep0", "Iσοζ. Χ (Οικονομικό)", supervision::Report::XFinancial);
    addReport(xreports, "xrep5", "Iσοζ. Χ (Περιόδου)", supervision::Report::XPeriodic);
    QMenu* zreports = reportsMenu_->addMenu("Ισοζύγια 'Z'");
    zreports->setObjectName("zreports");
    zreports->menuAction()->setEnabled(false);
    addReport(zreports, "zrep021", "Iσοζ. Z (Οικονομικό-Hμερήσιο)", supervision::Report::ZDaily);
    addReport(zreports, "zrep521", "Iσοζ. Z (Περιόδου)", supervision::Report::ZPeriodic);

    QMenu* exitMenu = menuBar()->addMenu("Έξοδος");
    exitMenu->setObjectName("exit");
    connect(addItem(exitMenu, "end", "Τερματισμός Merovan", QKeySequence("Ctrl+E")),
            &QAction::triggered, this, &MainWindow::endRequested);
    connect(addItem(exitMenu, "about", "Περί Merovan", QKeySequence("Ctrl+A")), &QAction::triggered,
            this, &MainWindow::openAbout);

    sysMenu_ = new QMenu("sysTray Menu", this);
    sysMenu_->setObjectName("sysMenu");
    connect(addItem(sysMenu_, "fShow", "Εμφάνιση Merovan"), &QAction::triggered, this,
            [this] { setDriverShown(true); });
    connect(addItem(sysMenu_, "fHide", "Απόκρυψη Merovan"), &QAction::triggered, this,
            [this] { setDriverShown(false); });
    sysMenu_->addSeparator()->setObjectName("s2");
    pStart_ = addItem(sysMenu_, "pStart", "Έναρξη Εκτυπώσεων");
    pStop_ = addItem(sysMenu_, "pStop", "Διακοπή Εκτυπώσεων");
    for (QAction* item : {pStart_, pStop_}) {
        item->setCheckable(true);
        // A click must not move the check mark; the driver sets it from the buttons.
        connect(item, &QAction::triggered, item,
                [item](bool checked) { item->setChecked(!checked); });
    }
    connect(pStart_, &QAction::triggered, this,
            [this] { post([](driver::Driver& d) { d.trayStart(); }); });
    connect(pStop_, &QAction::triggered, this,
            [this] { post([](driver::Driver& d) { d.trayStop(); }); });
    sysMenu_->addSeparator()->setObjectName("s3");
    QAction* mZREp = addItem(sysMenu_, "mZREp", "Εκτέλεση Ισοζ. 'Ζ'");
    mZREp->setEnabled(false);
    connect(mZREp, &QAction::triggered, this,
            [this] { post([](driver::Driver& d) { d.trayZReport(); }); });
}

void MainWindow::buildTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    tray_ = new QSystemTrayIcon(programIcon(), this);
    tray_->setToolTip(windowTitle());
    // Either button on the icon opens the tray menu, the only way back to a hidden window.
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason) { sysMenu_->popup(QCursor::pos()); });
    tray_->show();
}

void MainWindow::post(DriverAction action) {
    if (sink_) {
        sink_(std::move(action));
    }
}

void MainWindow::housekeeping() {
    if (tray_ != nullptr) {
        tray_->setToolTip(windowTitle().left(kTrayTipLength));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    event->ignore();
    setDriverShown(false);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        sysMenu_->popup(event->globalPosition().toPoint());
    }
}

void MainWindow::setStatus(const QString& text) {
    comstattxt_->setText(text);
}

void MainWindow::setProgressText(const QString& text) {
    lblProgr_->setText(text);
}

void MainWindow::setReceiptCount(qint64 count) {
    lblreceipt_->setText(QString::number(count));
}

void MainWindow::setControlEnabled(common::Control control, bool enabled) {
    switch (control) {
        case common::Control::Start:
            command1_->setEnabled(enabled);
            break;
        case common::Control::Stop:
            command2_->setEnabled(enabled);
            break;
        case common::Control::ReportsMenu:
            reportsMenu_->menuAction()->setEnabled(enabled);
            break;
        case common::Control::SettingsMenu:
            settingsMenu_->menuAction()->setEnabled(enabled);
            break;
    }
}

void MainWindow::showSettingsView(const common::SettingsView& view) {
    setValue(serialtxt_, view.serial);
    setValue(baudtxt_, view.baud);
    setValue(filetxt_, view.file);
    setValue(ecrtxt_, view.ecr);
    setValue(desctxt_, view.desc);
    setValue(commentstxt_, view.comments);
    // An unknown payment setting leaves the label as it was.
    if (!view.currency.empty()) {
        setValue(currtxt_, view.currency);
    }
}

void MainWindow::setTrayChecks(bool startChecked, bool stopChecked) {
    pStart_->setChecked(startChecked);
    pStop_->setChecked(stopChecked);
}

void MainWindow::setDriverShown(bool shown) {
    if (ending_) {
        return;
    }
    if (shown) {
        show();
        raise();
        activateWindow();
    } else if (tray_ != nullptr) {
        hide();
    }
}

void MainWindow::setDebugOn(bool on) {
    debugOn_ = on;
    wndDebug_->setChecked(on);
}

void MainWindow::toggleDebugWindow() {
    if (debugOn()) {
        setDebugOn(false);
        debug_->close();
        return;
    }
    setDebugOn(true);
    debug_ = new DebugWindow;
    debug_->setWindowIcon(windowIcon());
    connect(debug_, &DebugWindow::closed, this, [this] { setDebugOn(false); });
    debug_->move(frameGeometry().right() + 1, frameGeometry().top());
    debug_->show();
}

void MainWindow::appendTrace(const QString& line) {
    if (debugOn() && debug_ != nullptr) {
        debug_->PrintCombine(line);
    }
}

void MainWindow::openSettingsDialog() {
    if (settings_ == nullptr) {
        settings_ = new SettingsDialog(context_);
        connect(settings_, &SettingsDialog::saved, this, &MainWindow::endRequested);
        connect(settings_, &QObject::destroyed, this,
                [this] { post([](driver::Driver& d) { d.settingsDialogShown(false); }); });
        post([](driver::Driver& d) { d.settingsDialogShown(true); });
    }
    settings_->show();
    settings_->raise();
    settings_->activateWindow();
}

void MainWindow::openEftDialog() {
    if (eft_ == nullptr) {
        eft_ = new EftDialog(context_);
        eft_->setWindowIcon(windowIcon());
        connect(eft_, &QObject::destroyed, this, [this] { setEnabled(true); });
        connect(eft_, &EftDialog::refreshRequested, this, &MainWindow::openEftDialog);
    }
    eft_->move(pos() + QPoint(twips(250), twips(500)));
    eft_->frmFill();
    // The mapping is not read by a job while it is edited: the window waits for the dialog.
    setEnabled(false);
}

void MainWindow::openAbout() {
    if (about_ == nullptr) {
        about_ = new AboutBox(context_.messages);
        about_->setWindowIcon(windowIcon());
        connect(about_, &AboutBox::okClicked, this, [this] { setDriverShown(true); });
    }
    about_->show();
    about_->raise();
}

void MainWindow::openHelpText() {
    const QFileInfo help(QString::fromStdString(context_.pathOf("merovan.txt")));
    QDesktopServices::openUrl(QUrl::fromLocalFile(help.absoluteFilePath()));
}

void MainWindow::setCardWaitShown(bool shown) {
    if (shown) {
        if (cardWait_ == nullptr) {
            cardWait_ = new EftWaitDialog;
            cardWait_->setWindowIcon(windowIcon());
        }
        cardWait_->start();
    } else if (cardWait_ != nullptr) {
        cardWait_->close();
    }
}

}  // namespace merovan::gui
