#pragma once

#include "gui/win32/windows_api.h"

namespace merovan::gui::win32 {

// What the main window's menu items, buttons and shortcuts ask for (their command ids).
enum class Command : WORD {
    Parameters = 101,
    CardPayments,
    HelpText,
    ErrorClear,
    Trace,
    XFinancial,
    XPeriodic,
    ZDaily,
    ZPeriodic,
    End,
    About,
    Show,
    Hide,
    TrayStart,
    TrayStop,
    TrayZReport,
    Start = 201,
    Stop,
    NoticeSeen,
};

// The main window's menu bar and the tray's pop-up menu, with the shortcuts. Top-level menus
// of the bar by position: 0 settings, 1 reports, 2 exit.
struct MainMenus {
    static constexpr UINT kSettingsPosition = 0;
    static constexpr UINT kReportsPosition = 1;

    MainMenus();
    ~MainMenus();
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

    HMENU bar;   // goes with the window it is set on
    HMENU tray;  // "sysTray Menu"
    HACCEL shortcuts;
};

}  // namespace merovan::gui::win32
