#pragma once

#include "gui/win32/windows_api.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merovan::gui::win32 {

// A control of a window built in code, placed in twips as the windows were designed.
struct ControlDesign {
    int id = 0;
    const wchar_t* windowClass = L"STATIC";
    std::string text;  // UTF-8
    DWORD style = 0;   // besides WS_CHILD | WS_VISIBLE
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What a window built in code looks like: its caption, client area in twips, frame styles and
// controls (in tab order).
struct FrameDesign {
    std::string caption;
    int width = 0;
    int height = 0;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    std::vector<ControlDesign> controls;
};

// A window with controls, drawn in the system's message font at the window's DPI and laid
// out again when the DPI changes. Modal use runs its own message loop with the dialog
// keyboard (Tab, arrows, Alt mnemonics, Esc); Enter reaches the command handler as IDOK.
class DialogFrame {
  public:
    struct Handlers {
        // A control's notification (WM_COMMAND): its id and notification code.
        std::function<void(int id, int code)> command;
        // The frame's close box or Esc: true lets the window close (the default).
        std::function<bool()> closing;
        // Any other message the window should answer itself (timers, owner-drawn lists).
        std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)> other;
        // The window's DPI changed: the controls are placed and their fonts made again.
        std::function<void()> laidOut;
    };

    DialogFrame() = default;
    ~DialogFrame();
    DialogFrame(const DialogFrame&) = delete;
    DialogFrame& operator=(const DialogFrame&) = delete;

    // Creates the window hidden, owned by owner, centred on it (on the screen without one).
    // False when Windows refused.
    bool create(HWND owner, const FrameDesign& design, Handlers handlers);
    void destroy();
    HWND handle() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }
    int dpi() const { return dpi_; }
    int pixels(int twips) const;
    HFONT font() const { return font_; }

    // Moves the window's frame to a place on the screen, in pixels.
    void moveTo(int x, int y);
    void setCaption(std::string_view caption);
    std::string text(int id) const;
    void setText(int id, std::string_view text);
    bool checked(int id) const;
    void setChecked(int id, bool checked);
    void setVisible(int id, bool visible);
    // The control takes the dialog font scaled (and bold), now and after a DPI change.
    void emphasize(int id, double scale, bool bold);

    // Shows the window modal to its owner and runs until endModal; the owner is disabled
    // meanwhile. A quit message ends the loop and is passed on. Returns endModal's result
    // (IDCANCEL when the window was closed).
    int runModal();
    void endModal(int result);
    bool running() const { return running_; }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void makeFonts();
    void layOut();
    void close();

    HWND window_ = nullptr;
    FrameDesign design_;
    Handlers handlers_;
    int dpi_ = 96;
    HFONT font_ = nullptr;
    std::map<int, std::pair<double, bool>> emphasis_;
    std::map<int, HFONT> emphasisFonts_;
    bool running_ = false;
    int result_ = IDCANCEL;
};

// The list entry chosen in a drop-down list, -1 for none.
int comboSelection(HWND list);

}  // namespace merovan::gui::win32
