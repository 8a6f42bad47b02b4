#include "gui/win32/main_window.h"

#include <commctrl.h>

#include "gui/win32/dpi.h"
#include "gui/win32/main_window_parts.h"
#include "gui/win32/resource_ids.h"
#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"MerovanMainWindow";
constexpr UINT kTrayMessage = WM_APP + 10;
constexpr UINT kOpenSettings = WM_APP + 11;
constexpr COLORREF kNoticeColour = RGB(0xa0, 0, 0);
HWND addControl(HWND parent, const wchar_t* kind, const std::string& text, DWORD style,
                WORD id = 0) {
    return CreateWindowExW(0, kind, toWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void setText(HWND control, const std::string& text) {
    SetWindowTextW(control, toWide(text).c_str());
}

void enableTopMenu(HMENU bar, UINT position, bool enabled) {
    EnableMenuItem(bar, position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

MainWindow::MainWindow(DialogContext context, desktop::DesktopPresenter& presenter,
                       std::function<void()> endRequested)
    : context_(std::move(context)),
      presenter_(presenter),
      endRequested_(std::move(endRequested)),
      controls_(std::make_unique<Controls>()),
      trace_([this] {
          if (presenter_.traceShown()) {
              presenter_.setTraceShown(false);
          }
      }) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    icon_ =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &MainWindow::procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon_;
    windowClass.hIconSm = smallIcon_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    // No maximize box and no sizing frame; the close box goes with the system menu's Close
    // below: the window ends only through its menu.
    window_ =
        CreateWindowExW(0, kWindowClass, toWide(presenter_.caption()).c_str(),
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, nullptr, menus_.bar, instance, this);
    HMENU system = GetSystemMenu(window_, FALSE);
    DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(system, SC_CLOSE, MF_BYCOMMAND);
    DeleteMenu(system, SC_MAXIMIZE, MF_BYCOMMAND);

    buildControls();
    useDpi(windowDpi(window_));

    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray_ = std::make_unique<TrayIcon>(window_, kTrayMessage, smallIcon_);
    tray_->setTip(presenter_.caption());
    presenter_.setListener(this);
    drawControls();
}

MainWindow::~MainWindow() {
    presenter_.setListener(nullptr);
    closeDialogs();
    tray_.reset();
    DestroyWindow(window_);
    DeleteObject(font_);
    DestroyIcon(icon_);
    DestroyIcon(smallIcon_);
}

void MainWindow::buildControls() {
    Controls& c = *controls_;
    for (std::size_t row = 0; row < kSettingLabels.size(); ++row) {
        c.labels[row] = addControl(window_, L"STATIC", kSettingLabels[row], SS_LEFT | SS_NOPREFIX);
        // A value must not widen the fixed window; a long one is cut at the edge and shown
        // whole in its tool tip.
        c.values[row] =
            addControl(window_, L"STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | SS_NOTIFY);
    }
    c.start = addControl(window_, L"BUTTON", "Έναρξη Εκτύπωσης", BS_PUSHBUTTON | WS_TABSTOP,
                         static_cast<WORD>(Command::Start));
    c.stop = addControl(window_, L"BUTTON", "Διακοπή Εκτύπωσης", BS_PUSHBUTTON | WS_TABSTOP,
                        static_cast<WORD>(Command::Stop));
    c.receiptLabel = addControl(window_, L"STATIC", " Αριθμός Αποδείξεων", SS_LEFT | SS_NOPREFIX);
    c.receiptCount = addControl(window_, L"STATIC", "", SS_LEFT | SS_NOPREFIX);
    c.progress = addControl(window_, L"STATIC", "", SS_LEFT | SS_NOPREFIX);
    // Messages that need the operator stay here until marked seen; the driver goes on.
    c.notice =
        addControl(window_, L"STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | SS_NOTIFY);
    c.noticeSeen = addControl(window_, L"BUTTON", "Εντάξει", BS_PUSHBUTTON | WS_TABSTOP,
                              static_cast<WORD>(Command::NoticeSeen));
    ShowWindow(c.notice, SW_HIDE);
    ShowWindow(c.noticeSeen, SW_HIDE);
    // Read-only and never focused by Tab: the menu's Ctrl+C clears the register's error.
    c.status = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", toWide(presenter_.status()).c_str(),
                               WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 0, 0, 0, 0,
                               window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 600);
}

void MainWindow::setTip(HWND control, const std::string& text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window_;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty()) {
        return;
    }
    std::wstring wide = toWide(text);
    tool.lpszText = wide.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool MainWindow::translate(MSG& message) {
    if (TranslateAcceleratorW(window_, menus_.shortcuts, &message) != 0) {
        return true;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

void MainWindow::show() {
    ShowWindow(window_, SW_SHOW);
}

void MainWindow::hide() {
    ShowWindow(window_, SW_HIDE);
}

void MainWindow::closeDialogs() {
    trace_.close();
    cardWait_.hide();
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 || HIWORD(wParam) == 1 || HIWORD(wParam) == BN_CLICKED) {
                onCommand(static_cast<Command>(LOWORD(wParam)));
            }
            return 0;
        case DM_GETDEFID:
            // The window is no dialog, but IsDialogMessage asks it which button Enter presses.
            return presenter_.controls().startIsDefault
                       ? MAKELRESULT(static_cast<WORD>(Command::Start), DC_HASDEFID)
                       : 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == controls_->notice) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kNoticeColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_CLOSE:
            // Closed from the frame (Alt+F4): the window goes to the tray; only the menu ends.
            if (!presenter_.ending()) {
                showWindow(false);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            POINT where{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(window_, &where);
            popUpTrayMenu(where);
            return 0;
        }
        case kTrayMessage:
            // Either button on the icon opens the tray menu, the only way back to a hidden
            // window.
            if (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP) {
                POINT where{};
                GetCursorPos(&where);
                popUpTrayMenu(where);
            }
            return 0;
        case kOpenSettings:
            openSettingsDialog();
            return 0;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
            useDpi(HIWORD(wParam));
            return 0;
        }
        default:
            if (message == taskbarCreated_ && taskbarCreated_ != 0 && tray_) {
                tray_->addAgain();
                return 0;
            }
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::changed(Part part) {
    const Controls& c = *controls_;
    switch (part) {
        case Part::Caption:
            setText(window_, presenter_.caption());
            if (tray_) {
                tray_->setTip(presenter_.caption());
            }
            break;
        case Part::Status:
            // A text longer than the box shows its beginning, where it says what happened.
            setText(c.status, presenter_.status());
            setTip(c.status, presenter_.status());
            break;
        case Part::Progress:
            setText(c.progress, presenter_.progress());
            break;
        case Part::ReceiptCount:
            setText(c.receiptCount, presenter_.receiptCount());
            break;
        case Part::Settings:
            drawSettings();
            break;
        case Part::Controls:
            drawControls();
            break;
        case Part::StartFocus:
            SetFocus(c.start);
            break;
        case Part::Notices:
            drawNotices();
            break;
        case Part::trace:
            if (trace_.isOpen() && !presenter_.traceLines().lines().empty()) {
                trace_.appendLine(presenter_.traceLines().lines().back());
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
            // Opened from the message loop, not from within the driver's call that asks.
            settingsRequested_ = true;
            PostMessageW(window_, kOpenSettings, 0, 0);
            break;
        case Part::Ending:
            drawEnding();
            break;
    }
}

void MainWindow::drawSettings() {
    const common::SettingsView& view = presenter_.settings();
    const std::array<const std::string*, 7> texts = {&view.serial,  &view.baud, &view.file,
                                                     &view.ecr,     &view.desc, &view.comments,
                                                     &view.currency};
    for (std::size_t row = 0; row < texts.size(); ++row) {
        setText(controls_->values[row], *texts[row]);
        setTip(controls_->values[row], *texts[row]);
    }
}

void MainWindow::drawControls() {
    const desktop::MainWindowControls controls = presenter_.controls();
    const Controls& c = *controls_;
    EnableWindow(c.start, controls.start);
    EnableWindow(c.stop, controls.stop);
    // The default button is drawn with its frame; Enter presses it (DM_GETDEFID).
    SendMessageW(c.start, BM_SETSTYLE, controls.startIsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                 TRUE);
    enableTopMenu(menus_.bar, MainMenus::kSettingsPosition, controls.settings);
    enableTopMenu(menus_.bar, MainMenus::kReportsPosition, controls.reports);
    DrawMenuBar(window_);
    CheckMenuItem(menus_.tray, static_cast<UINT>(Command::TrayStart),
                  MF_BYCOMMAND | (controls.trayStartChecked ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menus_.tray, static_cast<UINT>(Command::TrayStop),
                  MF_BYCOMMAND | (controls.trayStopChecked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::drawNotices() {
    const std::string text = presenter_.noticeText();
    setText(controls_->notice, text);
    std::string all;
    for (const auto& notice : presenter_.notices()) {
        all += (all.empty() ? "" : "\n") + notice;
    }
    setTip(controls_->notice, all);
    const bool shown = !text.empty();
    ShowWindow(controls_->notice, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(controls_->noticeSeen, shown ? SW_SHOW : SW_HIDE);
    if (shown != noticesShown_) {
        noticesShown_ = shown;
        layout();
    }
    // A hidden window reaches the operator through the tray.
    if (tray_ && !IsWindowVisible(window_) && !presenter_.notices().empty()) {
        tray_->showBalloon("Merovan", presenter_.notices().back());
    }
}

void MainWindow::drawTraceShown() {
    CheckMenuItem(menus_.bar, static_cast<UINT>(Command::Trace),
                  MF_BYCOMMAND | (presenter_.traceShown() ? MF_CHECKED : MF_UNCHECKED));
    if (!presenter_.traceShown()) {
        trace_.close();
    } else if (!trace_.isOpen()) {
        trace_.open(window_);
    }
}

void MainWindow::drawCardWait() {
    if (presenter_.cardWaitShown()) {
        cardWait_.show(window_);
    } else {
        cardWait_.hide();
    }
}

// The window stays, greyed, with its note until the driver's thread is done.
void MainWindow::drawEnding() {
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM) {
            EnableWindow(child, FALSE);
            return TRUE;
        },
        0);
    for (UINT position = 0; position < 3; ++position) {
        enableTopMenu(menus_.bar, position, false);
    }
    DrawMenuBar(window_);
    if (presenter_.waitingAtEnd()) {
        show();
    }
}

void MainWindow::showWindow(bool shown) {
    if (presenter_.ending()) {
        return;
    }
    if (shown) {
        ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(window_);
    } else if (hasTray()) {
        hide();
    }
}

void MainWindow::popUpTrayMenu(POINT where) {
    drawControls();
    // The menu closes when the user clicks elsewhere only if the window is in front.
    SetForegroundWindow(window_);
    TrackPopupMenu(menus_.tray, TPM_RIGHTBUTTON, where.x, where.y, 0, window_, nullptr);
    PostMessageW(window_, WM_NULL, 0, 0);
}

}  // namespace merovan::gui::win32
