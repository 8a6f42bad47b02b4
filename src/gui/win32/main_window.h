#pragma once

#include "gui/win32/windows_api.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/desktop/desktop_presenter.h"
#include "core/desktop/main_window_listener.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/main_menus.h"
#include "gui/win32/tray_icon.h"

namespace merovan::gui::win32 {

// The main window: draws what the presenter holds (the settings in force, the status box,
// Start and Stop, the notices, the menus and the tray icon) and hands every click to it. It
// decides nothing itself. Every member runs on the window thread.
class MainWindow final : private desktop::MainWindowListener {
  public:
    // endRequested: the operator (or a saved settings dialog) asks the program to end.
    MainWindow(DialogContext context, desktop::DesktopPresenter& presenter,
               std::function<void()> endRequested);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return window_; }
    // Keyboard input for the window: its shortcuts, Tab and the default button. True when the
    // message was taken.
    bool translate(MSG& message);
    void show();
    void hide();
    void closeDialogs();
    // The driver asked for the settings dialog during start-up: the program ends when it
    // closes.
    bool settingsDialogRequested() const { return settingsRequested_; }
    void endAfterSettings() { endAfterSettings_ = true; }

    bool hasTray() const { return tray_ && tray_->shown(); }
    HMENU trayMenu() const { return menus_.tray; }
    // Sets the tray menu's check marks, as before it pops up.
    void drawControls();

  private:
    struct Controls;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void changed(Part part) override;
    void onCommand(Command command);
    void buildControls();
    void layout();
    // Fonts and positions for the DPI of the monitor the window is on.
    void useDpi(int dpi);
    void setTip(HWND control, const std::string& text);
    void drawSettings();
    void drawNotices();
    void drawTraceShown();
    void drawCardWait();
    void drawEnding();
    void showWindow(bool shown);
    void popUpTrayMenu(POINT where);
    void openSettingsDialog();
    void openCardPaymentDialog();
    void openAbout();
    void openHelpText();

    DialogContext context_;
    desktop::DesktopPresenter& presenter_;
    std::function<void()> endRequested_;
    MainMenus menus_;
    HWND window_ = nullptr;
    HWND tips_ = nullptr;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    int dpi_ = 96;
    std::unique_ptr<Controls> controls_;
    std::unique_ptr<TrayIcon> tray_;
    UINT taskbarCreated_ = 0;
    TraceWindow trace_;
    CardWaitWindow cardWait_;
    bool noticesShown_ = false;
    bool settingsRequested_ = false;
    bool settingsOpen_ = false;
    bool endAfterSettings_ = false;
};

}  // namespace merovan::gui::win32
