#pragma once

#include <array>

#include "gui/win32/main_window.h"

// What the main window's source files share; nothing else includes this.
namespace merovan::gui::win32 {

// The client area the window was designed with, in twips.
constexpr int kClientWidth = 6645;
constexpr int kClientHeight = 3345;
// The widest progress text; the right-hand column is as wide from the start, so that it does
// not move when the text appears.
constexpr const char* kWidestProgress = " Ολοκληρώθηκε το 100%";

constexpr std::array<const char*, 7> kSettingLabels = {
    "Πόρτα επικοινωνίας", "Ταχύτητα         :",    "Αρχείο              :", "Ταμειακή          :",
    "Περιγραφή       :",  "Σχόλια              :", "Εξόφληση         :"};

struct MainWindow::Controls {
    std::array<HWND, 7> labels{};
    std::array<HWND, 7> values{};  // serialtxt, baudtxt, filetxt, ecrtxt, desctxt, ...
    HWND start = nullptr;          // Command1
    HWND stop = nullptr;           // Command2
    HWND receiptLabel = nullptr;   // Label1
    HWND receiptCount = nullptr;   // lblreceipt
    HWND progress = nullptr;       // lblProgr
    HWND notice = nullptr;         // lblNotice
    HWND noticeSeen = nullptr;     // cmdNoticeSeen
    HWND status = nullptr;         // comstattxt
};

}  // namespace merovan::gui::win32
