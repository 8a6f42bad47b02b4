#pragma once

#include <QMainWindow>
#include <QPointer>
#include <atomic>
#include <functional>

#include "core/common/operator.h"
#include "core/driver/driver.h"
#include "gui/about_box.h"
#include "gui/debug_window.h"
#include "gui/eft_dialog.h"
#include "gui/eft_wait_dialog.h"
#include "gui/gui_context.h"
#include "gui/settings_dialog.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTimer;

namespace merovan::gui {

// The main window: the settings in force, the status box, Start and Stop, the menus and the
// tray icon. It draws what the driver reports and hands every click to the driver's thread;
// it decides nothing about the register itself. Every member runs on the GUI thread.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    using DriverAction = std::function<void(driver::Driver&)>;

    explicit MainWindow(GuiContext context);
    ~MainWindow() override;

    // Where clicks go; the program posts them to the driver's thread.
    void setActionSink(std::function<void(DriverAction)> sink) { sink_ = std::move(sink); }

    void setStatus(const QString& text);
    void setProgressText(const QString& text);
    void setReceiptCount(qint64 count);
    void setControlEnabled(common::Control control, bool enabled);
    void showSettingsView(const common::SettingsView& view);
    void setTrayChecks(bool startChecked, bool stopChecked);
    void appendTrace(const QString& line);
    // Shows or hides the window; without a tray it stays shown, or it could not be reached.
    void setDriverShown(bool shown);
    void setCardWaitShown(bool shown);
    void openSettingsDialog();
    void toggleDebugWindow();

    // Read from the driver's thread: trace lines are only worth sending while tracing is on.
    bool debugOn() const { return debugOn_.load(); }
    bool hasTray() const { return tray_ != nullptr; }
    QMenu* sysMenu() const { return sysMenu_; }
    // The program is ending: the frame may close the window now.
    void setEnding() { ending_ = true; }
    void closeDialogs();
    void deleteDialogs();

    SettingsDialog* settingsDialog() const { return settings_; }
    DebugWindow* debugWindow() const { return debug_; }
    EftDialog* eftDialog() const { return eft_; }
    EftWaitDialog* cardWaitDialog() const { return cardWait_; }
    AboutBox* aboutBox() const { return about_; }

  signals:
    void endRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void buildTray();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void post(DriverAction action);
    void setDebugOn(bool on);
    void openEftDialog();
    void openAbout();
    void openHelpText();
    void housekeeping();

    GuiContext context_;
    std::function<void(DriverAction)> sink_;
    std::atomic<bool> debugOn_{false};
    bool ending_ = false;

    QLineEdit* comstattxt_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QLabel* lblProgr_ = nullptr;
    QLabel* lblreceipt_ = nullptr;
    QLabel* serialtxt_ = nullptr;
    QLabel* baudtxt_ = nullptr;
    QLabel* filetxt_ = nullptr;
    QLabel* ecrtxt_ = nullptr;
    QLabel* desctxt_ = nullptr;
    QLabel* commentstxt_ = nullptr;
    QLabel* currtxt_ = nullptr;

    QMenu* settingsMenu_ = nullptr;
    QMenu* reportsMenu_ = nullptr;
    QMenu* sysMenu_ = nullptr;
    QAction* wndDebug_ = nullptr;
    QAction* pStart_ = nullptr;
    QAction* pStop_ = nullptr;

    QSystemTrayIcon* tray_ = nullptr;
    QTimer* mTimer_ = nullptr;

    QPointer<SettingsDialog> settings_;
    QPointer<DebugWindow> debug_;
    QPointer<EftDialog> eft_;
    QPointer<EftWaitDialog> cardWait_;
    QPointer<AboutBox> about_;
};

}  // namespace merovan::gui
