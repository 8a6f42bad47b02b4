#pragma once

#include <QMainWindow>
#include <QPointer>

#include "core/desktop/desktop_presenter.h"
#include "core/desktop/main_window_listener.h"
#include "gui/qt/about_box.h"
#include "gui/qt/card_payment_dialog.h"
#include "gui/qt/card_wait_dialog.h"
#include "gui/qt/gui_context.h"
#include "gui/qt/settings_dialog.h"
#include "gui/qt/trace_window.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

namespace merovan::gui {

// The main window: draws what the presenter holds (the settings in force, the status box,
// Start and Stop, the notices, the menus and the tray icon) and hands every click to it. It
// decides nothing itself. Every member runs on the GUI thread.
class MainWindow final : public QMainWindow, private desktop::MainWindowListener {
    Q_OBJECT

  public:
    MainWindow(GuiContext context, desktop::DesktopPresenter& presenter);
    ~MainWindow() override;

    void openSettingsDialog();
    void toggleTraceWindow();
    bool hasTray() const { return tray_ != nullptr; }
    QMenu* trayMenu() const { return trayMenu_; }
    void closeDialogs();
    void deleteDialogs();

    SettingsDialog* settingsDialog() const { return settings_; }
    TraceWindow* traceWindow() const { return trace_; }
    CardPaymentDialog* cardPaymentDialog() const { return cardPayments_; }
    CardWaitDialog* cardWaitDialog() const { return cardWait_; }
    AboutBox* aboutBox() const { return about_; }

  signals:
    void endRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void changed(Part part) override;
    void buildControls();
    void buildMenus();
    void buildTray();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void drawSettings();
    void drawFile();
    void drawControls();
    void drawNotices();
    void drawWindowShown();
    void drawTraceShown();
    void drawCardWait();
    void openCardPaymentDialog();
    void openAbout();
    void openHelpText();
    void showWindow(bool shown);
    void fitHeight();

    GuiContext context_;
    desktop::DesktopPresenter& presenter_;

    QLineEdit* statusBox_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QLabel* receiptCountLabel_ = nullptr;
    QLabel* portValue_ = nullptr;
    QLabel* speedValue_ = nullptr;
    QLabel* fileValue_ = nullptr;
    QLabel* registerValue_ = nullptr;
    QLabel* descriptionValue_ = nullptr;
    QLabel* commentsValue_ = nullptr;
    QLabel* paymentValue_ = nullptr;
    QWidget* noticeStrip_ = nullptr;
    QLabel* noticeLabel_ = nullptr;

    QMenu* settingsMenu_ = nullptr;
    QMenu* reportsMenu_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QAction* traceItem_ = nullptr;
    QAction* trayStartItem_ = nullptr;
    QAction* trayStopItem_ = nullptr;

    QSystemTrayIcon* tray_ = nullptr;

    QPointer<SettingsDialog> settings_;
    QPointer<TraceWindow> trace_;
    QPointer<CardPaymentDialog> cardPayments_;
    QPointer<CardWaitDialog> cardWait_;
    QPointer<AboutBox> about_;
};

}  // namespace merovan::gui
