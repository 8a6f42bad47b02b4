#include "gui/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
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
#include <QUrl>
#include <QVBoxLayout>

#include "core/desktop/help_text.h"
#include "gui/qt/program_icon.h"

namespace merovan::gui {
namespace {

// The client area the window was designed with.
constexpr int kClientWidth = twips(6645);
constexpr int kClientHeight = twips(3345);
// The tray tip holds the caption and a terminating NUL in 64 characters.
constexpr int kTrayTipLength = 63;
// The widest progress text; the right-hand column is as wide from the start, so that it does
// not move when the text appears.
constexpr const char* kWidestProgress = " Ολοκληρώθηκε το 100%";

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

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
    label->setText(qt(text));
    label->setToolTip(label->text());
}

}  // namespace

MainWindow::MainWindow(GuiContext context, desktop::DesktopPresenter& presenter)
    : context_(std::move(context)), presenter_(presenter) {
    setObjectName("frmMain");
    setWindowTitle(qt(presenter_.caption()));
    setWindowIcon(programIcon());
    // No maximize box and no close box: the window ends only through its menu.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    buildControls();
    buildMenus();
    buildTray();
    menuBar()->adjustSize();
    fitHeight();
    presenter_.setListener(this);
    drawControls();
}

MainWindow::~MainWindow() {
    presenter_.setListener(nullptr);
    deleteDialogs();
}

// Dialogs have no parent, so that disabling the window leaves them usable; they go with it.
void MainWindow::deleteDialogs() {
    delete settings_;
    delete trace_;
    delete cardPayments_;
    delete cardWait_;
    delete about_;
}

void MainWindow::closeDialogs() {
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{settings_, trace_, cardPayments_, cardWait_, about_}) {
        if (dialog != nullptr) {
            dialog->close();
        }
    }
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
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
    QLabel** values[] = {&portValue_,        &speedValue_,    &fileValue_,   &registerValue_,
                         &descriptionValue_, &commentsValue_, &paymentValue_};
    const char* valueNames[] = {"serialtxt", "baudtxt",     "filetxt", "ecrtxt",
                                "desctxt",   "commentstxt", "currtxt"};
    for (int row = 0; row < 7; ++row) {
        settings->addWidget(addLabel(central, rows[row].first, rows[row].second), row, 0);
        *values[row] = addValue(central, valueNames[row]);
        settings->addWidget(*values[row], row, 1);
    }
    settings->setColumnStretch(1, 1);

    startButton_ = new QPushButton("Έναρξη Εκτύπωσης", central);
    startButton_->setObjectName("Command1");
    stopButton_ = new QPushButton("Διακοπή Εκτύπωσης", central);
    stopButton_->setObjectName("Command2");
    connect(startButton_, &QPushButton::clicked, this, [this] { presenter_.start(); });
    connect(stopButton_, &QPushButton::clicked, this, [this] { presenter_.stop(); });

    auto* receipts = new QHBoxLayout;
    receipts->addWidget(addLabel(central, "Label1", " Αριθμός Αποδείξεων"));
    receiptCountLabel_ = addLabel(central, "lblreceipt", {});
    receipts->addWidget(receiptCountLabel_);
    receipts->addStretch();

    auto* side = new QWidget(central);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(startButton_);
    sideLayout->addWidget(stopButton_);
    sideLayout->addSpacing(6);
    sideLayout->addLayout(receipts);
    progressLabel_ = addLabel(central, "lblProgr", {});
    sideLayout->addWidget(progressLabel_);
    sideLayout->addStretch();
    const int progressWidth = QFontMetrics(font).horizontalAdvance(kWidestProgress) + 8;
    side->setFixedWidth(std::max(progressWidth, startButton_->sizeHint().width()));

    auto* top = new QHBoxLayout;
    top->addLayout(settings, 1);
    top->addWidget(side);

    // Messages that need the operator stay here until marked seen; the driver goes on.
    noticeStrip_ = new QWidget(central);
    noticeStrip_->setObjectName("notices");
    auto* noticeLayout = new QHBoxLayout(noticeStrip_);
    noticeLayout->setContentsMargins(0, 0, 0, 0);
    noticeLabel_ = addValue(noticeStrip_, "lblNotice");
    noticeLabel_->setStyleSheet("color: #a00000;");
    auto* seenButton = new QPushButton("Εντάξει", noticeStrip_);
    seenButton->setObjectName("cmdNoticeSeen");
    connect(seenButton, &QPushButton::clicked, this, [this] { presenter_.noticeSeen(); });
    noticeLayout->addWidget(noticeLabel_, 1);
    noticeLayout->addWidget(seenButton);
    noticeStrip_->hide();

    statusBox_ = new QLineEdit(qt(presenter_.status()), central);
    statusBox_->setObjectName("comstattxt");
    statusBox_->setReadOnly(true);
    // The menu's Ctrl+C clears the register's error; a focused text box would take it as copy.
    statusBox_->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(top, 1);
    layout->addWidget(noticeStrip_);
    layout->addWidget(statusBox_);
    setCentralWidget(central);
}

void MainWindow::fitHeight() {
    const int notices = noticeStrip_->isVisibleTo(this) ? noticeStrip_->sizeHint().height() : 0;
    centralWidget()->setFixedSize(kClientWidth, kClientHeight + notices);
    setFixedSize(kClientWidth, kClientHeight + notices + menuBar()->sizeHint().height());
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
            if (presenter_.controls().settings) {
                handler();
            }
        };
    };
    connect(addItem(settingsMenu_, "param", "Παράμετροι", QKeySequence("Ctrl+P")),
            &QAction::triggered, this, whileSettingsOn([this] { openSettingsDialog(); }));
    connect(addItem(settingsMenu_, "paramEft", "Παράμετροι Πιστ. Καρτών"), &QAction::triggered,
            this, whileSettingsOn([this] { openCardPaymentDialog(); }));
    settingsMenu_->addSeparator()->setObjectName("s5");
    QMenu* help = settingsMenu_->addMenu("Bοήθεια");
    help->setObjectName("help");
    connect(addItem(help, "help_text", "Ρυθμίσεις", QKeySequence("Ctrl+B")), &QAction::triggered,
            this, whileSettingsOn([this] { openHelpText(); }));
    connect(addItem(help, "errorclear", "Καθαρισμός λάθους ταμειακής", QKeySequence("Ctrl+C")),
            &QAction::triggered, this, whileSettingsOn([this] { presenter_.clearError(); }));
    traceItem_ = addItem(help, "wndDebug", "Debug Επικοινωνίας");
    traceItem_->setCheckable(true);
    connect(traceItem_, &QAction::triggered, this,
            whileSettingsOn([this] { toggleTraceWindow(); }));
    // The check mark follows the window, not the click.
    connect(traceItem_, &QAction::triggered, this,
            [this] { traceItem_->setChecked(presenter_.traceShown()); });

    reportsMenu_ = menuBar()->addMenu("Ισοζύγια");
    reportsMenu_->setObjectName("reports");
    const auto addReport = [this](QMenu* menu, const char* name, const QString& caption,
                                  supervision::Report report) {
        connect(addItem(menu, name, caption), &QAction::triggered, this,
                [this, report] { presenter_.report(report); });
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

    trayMenu_ = new QMenu("sysTray Menu", this);
    trayMenu_->setObjectName("sysMenu");
    connect(addItem(trayMenu_, "fShow", "Εμφάνιση Merovan"), &QAction::triggered, this,
            [this] { showWindow(true); });
    connect(addItem(trayMenu_, "fHide", "Απόκρυψη Merovan"), &QAction::triggered, this,
            [this] { showWindow(false); });
    trayMenu_->addSeparator()->setObjectName("s2");
    trayStartItem_ = addItem(trayMenu_, "pStart", "Έναρξη Εκτυπώσεων");
    trayStopItem_ = addItem(trayMenu_, "pStop", "Διακοπή Εκτυπώσεων");
    for (QAction* item : {trayStartItem_, trayStopItem_}) {
        item->setCheckable(true);
        // A click must not move the check mark; the driver's state sets it.
        connect(item, &QAction::triggered, this, [this] { drawControls(); });
    }
    connect(trayStartItem_, &QAction::triggered, this, [this] { presenter_.start(); });
    connect(trayStopItem_, &QAction::triggered, this, [this] { presenter_.stop(); });
    trayMenu_->addSeparator()->setObjectName("s3");
    QAction* zReportItem = addItem(trayMenu_, "mZREp", "Εκτέλεση Ισοζ. 'Ζ'");
    zReportItem->setEnabled(false);
    connect(zReportItem, &QAction::triggered, this, [this] { presenter_.trayZReport(); });
}

void MainWindow::buildTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    tray_ = new QSystemTrayIcon(programIcon(), this);
    tray_->setToolTip(windowTitle());
    // Either button on the icon opens the tray menu, the only way back to a hidden window.
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason) { trayMenu_->popup(QCursor::pos()); });
    tray_->show();
}

void MainWindow::changed(Part part) {
    switch (part) {
        case Part::Caption:
            setWindowTitle(qt(presenter_.caption()));
            if (tray_ != nullptr) {
                tray_->setToolTip(windowTitle().left(kTrayTipLength));
            }
            break;
        case Part::Status:
            statusBox_->setText(qt(presenter_.status()));
            statusBox_->setToolTip(statusBox_->text());
            // A text longer than the box shows its beginning, where it says what happened.
            statusBox_->setCursorPosition(0);
            break;
        case Part::Progress:
            progressLabel_->setText(qt(presenter_.progress()));
            break;
        case Part::ReceiptCount:
            receiptCountLabel_->setText(qt(presenter_.receiptCount()));
            break;
        case Part::Settings:
            drawSettings();
            break;
        case Part::Controls:
            drawControls();
            break;
        case Part::StartFocus:
            startButton_->setFocus();
            break;
        case Part::Notices:
            drawNotices();
            break;
        case Part::trace:
            if (trace_ != nullptr && !presenter_.traceLines().lines().empty()) {
                trace_->appendLine(qt(presenter_.traceLines().lines().back()));
            }
            break;
        case Part::TraceShown:
            drawTraceShown();
            break;
        case Part::WindowShown:
            showWindow(presenter_.windowShown());
            break;
        case Part::CardWait:
            drawCardWait();
            break;
        case Part::SettingsDialog:
            openSettingsDialog();
            break;
        case Part::Ending:
            // The window stays, greyed, with its note until the driver's thread is done.
            centralWidget()->setEnabled(false);
            menuBar()->setEnabled(false);
            if (presenter_.waitingAtEnd()) {
                show();
            }
            break;
    }
}

void MainWindow::drawSettings() {
    const common::SettingsView& view = presenter_.settings();
    setValue(portValue_, view.serial);
    setValue(speedValue_, view.baud);
    drawFile();
    setValue(registerValue_, view.ecr);
    setValue(descriptionValue_, view.desc);
    setValue(commentsValue_, view.comments);
    setValue(paymentValue_, view.currency);
}

// As much of the file and its path as fits; the whole in the tool tip.
void MainWindow::drawFile() {
    const QString whole = qt(presenter_.settings().file);
    fileValue_->setText(
        fileValue_->fontMetrics().elidedText(whole, Qt::ElideRight, fileValue_->width()));
    fileValue_->setToolTip(whole);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    drawFile();
}

void MainWindow::drawControls() {
    const desktop::MainWindowControls controls = presenter_.controls();
    startButton_->setEnabled(controls.start);
    startButton_->setDefault(controls.startIsDefault);
    stopButton_->setEnabled(controls.stop);
    reportsMenu_->menuAction()->setEnabled(controls.reports);
    settingsMenu_->menuAction()->setEnabled(controls.settings);
    trayStartItem_->setChecked(controls.trayStartChecked);
    trayStopItem_->setChecked(controls.trayStopChecked);
}

void MainWindow::drawNotices() {
    const bool wasShown = noticeStrip_->isVisibleTo(this);
    const QString text = qt(presenter_.noticeText());
    noticeLabel_->setText(text);
    QString all;
    for (const auto& notice : presenter_.notices()) {
        all += (all.isEmpty() ? "" : "\n") + qt(notice);
    }
    noticeLabel_->setToolTip(all);
    noticeStrip_->setVisible(!text.isEmpty());
    if (wasShown != !text.isEmpty()) {
        fitHeight();
    }
    // A hidden window reaches the operator through the tray.
    if (tray_ != nullptr && !isVisible() && !presenter_.notices().empty()) {
        tray_->showMessage("Merovan", qt(presenter_.notices().back()), QSystemTrayIcon::Warning);
    }
}

void MainWindow::showWindow(bool shown) {
    if (presenter_.ending()) {
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

void MainWindow::closeEvent(QCloseEvent* event) {
    if (presenter_.ending()) {
        event->accept();
        return;
    }
    event->ignore();
    showWindow(false);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        trayMenu_->popup(event->globalPosition().toPoint());
    }
}

void MainWindow::toggleTraceWindow() {
    presenter_.setTraceShown(!presenter_.traceShown());
}

void MainWindow::drawTraceShown() {
    traceItem_->setChecked(presenter_.traceShown());
    if (!presenter_.traceShown()) {
        if (trace_ != nullptr) {
            trace_->close();
        }
        return;
    }
    if (trace_ != nullptr) {
        return;
    }
    trace_ = new TraceWindow(static_cast<int>(desktop::TraceBuffer::kMaxLines));
    trace_->setWindowIcon(windowIcon());
    connect(trace_, &TraceWindow::closed, this, [this] {
        trace_.clear();
        if (presenter_.traceShown()) {
            presenter_.setTraceShown(false);
        }
    });
    trace_->move(frameGeometry().right() + 1, frameGeometry().top());
    trace_->show();
}

void MainWindow::openSettingsDialog() {
    if (settings_ == nullptr) {
        settings_ = new SettingsDialog(context_);
        connect(settings_, &SettingsDialog::saved, this, &MainWindow::endRequested);
        connect(settings_, &QObject::destroyed, this,
                [this] { presenter_.settingsDialogShown(false); });
        presenter_.settingsDialogShown(true);
    }
    settings_->show();
    settings_->raise();
    settings_->activateWindow();
}

void MainWindow::openCardPaymentDialog() {
    if (cardPayments_ == nullptr) {
        cardPayments_ = new CardPaymentDialog(context_);
        cardPayments_->setWindowIcon(windowIcon());
        connect(cardPayments_, &QObject::destroyed, this, [this] { setEnabled(true); });
        connect(cardPayments_, &CardPaymentDialog::refreshRequested, this,
                &MainWindow::openCardPaymentDialog);
    }
    cardPayments_->move(pos() + QPoint(twips(250), twips(500)));
    cardPayments_->fill();
    // The mapping is not read by a job while it is edited: the window waits for the dialog.
    setEnabled(false);
}

void MainWindow::openAbout() {
    if (about_ == nullptr) {
        about_ = new AboutBox(context_.messages);
        about_->setWindowIcon(windowIcon());
        connect(about_, &AboutBox::okClicked, this, [this] { showWindow(true); });
    }
    about_->show();
    about_->raise();
}

void MainWindow::openHelpText() {
    const std::string name = desktop::kHelpTextName;
    const std::vector<std::string> places = {
        QFileInfo(qt(context_.files.pathOf(name))).absoluteFilePath().toStdString(),
        QDir(QApplication::applicationDirPath()).filePath(qt(name)).toStdString(),
        std::string(MEROVAN_DOC_DIR) + "/" + name};
    if (const auto found = desktop::findHelpText(places)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(qt(*found)));
        return;
    }
    context_.messages.show(this, common::formatMessageBox(desktop::helpTextMissing(places),
                                                          common::buttons::kExclamation, {}));
}

void MainWindow::drawCardWait() {
    if (presenter_.cardWaitShown()) {
        if (cardWait_ == nullptr) {
            cardWait_ = new CardWaitDialog;
            cardWait_->setWindowIcon(windowIcon());
        }
        cardWait_->start();
    } else if (cardWait_ != nullptr) {
        cardWait_->close();
    }
}

}  // namespace merovan::gui
