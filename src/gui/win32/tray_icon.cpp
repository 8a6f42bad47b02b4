#include "gui/win32/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {
namespace {

template <std::size_t size>
void copyText(wchar_t (&target)[size], const std::wstring& text) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::copy_n(text.c_str(), length, target);
    target[length] = L'\0';
}

}  // namespace

std::wstring trayTip(const std::string& caption) {
    std::wstring tip = toWide(caption);
    if (tip.size() > TrayIcon::kTipLength) {
        std::size_t length = TrayIcon::kTipLength;
        if (IS_HIGH_SURROGATE(tip[length - 1])) {
            --length;
        }
        tip.resize(length);
    }
    return tip;
}

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon)
    : owner_(owner), callbackMessage_(callbackMessage), icon_(icon) {
    addAgain();
}

TrayIcon::~TrayIcon() {
    if (shown_) {
        NOTIFYICONDATAW removed = data(0);
        Shell_NotifyIconW(NIM_DELETE, &removed);
    }
}

NOTIFYICONDATAW TrayIcon::data(UINT flags) const {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = owner_;
    icon.uID = 0;
    icon.uFlags = flags;
    icon.uCallbackMessage = callbackMessage_;
    icon.hIcon = icon_;
    copyText(icon.szTip, tip_);
    return icon;
}

void TrayIcon::addAgain() {
    NOTIFYICONDATAW added = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    shown_ = Shell_NotifyIconW(NIM_ADD, &added) != FALSE;
}

void TrayIcon::setTip(const std::string& caption) {
    const std::wstring tip = trayTip(caption);
    if (tip == tip_) {
        return;
    }
    tip_ = tip;
    if (shown_) {
        NOTIFYICONDATAW changed = data(NIF_TIP);
        Shell_NotifyIconW(NIM_MODIFY, &changed);
    }
}

void TrayIcon::showBalloon(const std::string& title, const std::string& text) {
    if (!shown_) {
        return;
    }
    NOTIFYICONDATAW balloon = data(NIF_INFO);
    copyText(balloon.szInfoTitle, toWide(title));
    copyText(balloon.szInfo, toWide(text));
    balloon.dwInfoFlags = NIIF_WARNING;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

}  // namespace merovan::gui::win32
