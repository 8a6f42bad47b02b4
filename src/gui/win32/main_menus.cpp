#include "gui/win32/main_menus.h"

#include <string>

#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {
namespace {

void addItem(HMENU menu, Command command, const char* caption, const char* shortcut = nullptr) {
    std::string text = caption;
    if (shortcut != nullptr) {
        text += std::string("\t") + shortcut;
    }
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command), toWide(text).c_str());
}

HMENU addSubmenu(HMENU menu, const char* caption) {
    HMENU submenu = CreatePopupMenu();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), toWide(caption).c_str());
    return submenu;
}

HMENU buildBar() {
    HMENU bar = CreateMenu();
    HMENU settings = addSubmenu(bar, "Επιλογές");
    addItem(settings, Command::Parameters, "Παράμετροι", "Ctrl+P");
    addItem(settings, Command::CardPayments, "Παράμετροι Πιστ. Καρτών");
    AppendMenuW(settings, MF_SEPARATOR, 0, nullptr);
    HMENU help = addSubmenu(settings, "Bοήθεια");
    addItem(help, Command::HelpText, "Ρυθμίσεις", "Ctrl+B");
    addItem(help, Command::ErrorClear, "Καθαρισμός λάθους ταμειακής", "Ctrl+C");
    addItem(help, Command::Trace, "Debug Επικοινωνίας");

    HMENU reports = addSubmenu(bar, "Ισοζύγια");
    HMENU xreports = addSubmenu(reports, "Ισοζύγια 'X'");
    addItem(xreports, Command::XFinancial, "Iσοζ. Χ (Οικονομικό)");
    addItem(xreports, Command::XPeriodic, "Iσοζ. Χ (Περιόδου)");
    HMENU zreports = addSubmenu(reports, "Ισοζύγια 'Z'");
    addItem(zreports, Command::ZDaily, "Iσοζ. Z (Οικονομικό-Hμερήσιο)");
    addItem(zreports, Command::ZPeriodic, "Iσοζ. Z (Περιόδου)");
    EnableMenuItem(reports, 1, MF_BYPOSITION | MF_GRAYED);

    HMENU exit = addSubmenu(bar, "Έξοδος");
    addItem(exit, Command::End, "Τερματισμός Merovan", "Ctrl+E");
    addItem(exit, Command::About, "Περί Merovan", "Ctrl+A");
    return bar;
}

HMENU buildTray() {
    HMENU tray = CreatePopupMenu();
    addItem(tray, Command::Show, "Εμφάνιση Merovan");
    addItem(tray, Command::Hide, "Απόκρυψη Merovan");
    AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    addItem(tray, Command::TrayStart, "Έναρξη Εκτυπώσεων");
    addItem(tray, Command::TrayStop, "Διακοπή Εκτυπώσεων");
    AppendMenuW(tray, MF_SEPARATOR, 0, nullptr);
    addItem(tray, Command::TrayZReport, "Εκτέλεση Ισοζ. 'Ζ'");
    EnableMenuItem(tray, static_cast<UINT>(Command::TrayZReport), MF_BYCOMMAND | MF_GRAYED);
    return tray;
}

HACCEL buildShortcuts() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'P', static_cast<WORD>(Command::Parameters)},
        {FVIRTKEY | FCONTROL, 'B', static_cast<WORD>(Command::HelpText)},
        {FVIRTKEY | FCONTROL, 'C', static_cast<WORD>(Command::ErrorClear)},
        {FVIRTKEY | FCONTROL, 'E', static_cast<WORD>(Command::End)},
        {FVIRTKEY | FCONTROL, 'A', static_cast<WORD>(Command::About)},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace

MainMenus::MainMenus() : bar(buildBar()), tray(buildTray()), shortcuts(buildShortcuts()) {}

MainMenus::~MainMenus() {
    DestroyMenu(tray);
    DestroyAcceleratorTable(shortcuts);
}

}  // namespace merovan::gui::win32
