#pragma once

#include "gui/win32/windows_api.h"

#include <string>

namespace merovan::gui::win32 {

// The program's icon in the notification area. Mouse activity on it reaches the owner window
// as callbackMessage (lParam: the mouse message). Shown while the object lives.
class TrayIcon {
  public:
    // The tip holds the caption and a terminating NUL in 64 characters.
    static constexpr std::size_t kTipLength = 63;

    TrayIcon(HWND owner, UINT callbackMessage, HICON icon);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // False where there is no notification area: a window hidden then could not come back.
    bool shown() const { return shown_; }
    // The tip follows the window's caption (UTF-8), cut to kTipLength characters.
    void setTip(const std::string& caption);
    // A balloon for a hidden window's notice.
    void showBalloon(const std::string& title, const std::string& text);
    // Explorer restarted (the "TaskbarCreated" message): the icon is added again.
    void addAgain();

  private:
    NOTIFYICONDATAW data(UINT flags) const;

    HWND owner_;
    UINT callbackMessage_;
    HICON icon_;
    std::wstring tip_;
    bool shown_ = false;
};

// The tip text: the caption cut to TrayIcon::kTipLength UTF-16 units, never inside a pair.
std::wstring trayTip(const std::string& caption);

}  // namespace merovan::gui::win32
