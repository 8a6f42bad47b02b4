#include "gui/win32/dialog_frame.h"

#include <algorithm>
#include <cmath>

#include "gui/win32/dpi.h"
#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {
namespace {

constexpr const wchar_t* kFrameClass = L"MerovanDialogFrame";

void registerFrameClass(WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, kFrameClass, &existing)) {
        return;
    }
    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof(frameClass);
    frameClass.lpfnWndProc = procedure;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = kFrameClass;
    RegisterClassExW(&frameClass);
}

// The first control the keyboard reaches.
HWND firstTabStop(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const auto style = GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && IsWindowEnabled(child)) {
            return child;
        }
    }
    return nullptr;
}

// Edit fields and lists carry the sunken border that their themes draw.
DWORD controlExStyle(const wchar_t* windowClass) {
    const std::wstring_view name = windowClass;
    return name == L"EDIT" || name == L"LISTBOX" ? WS_EX_CLIENTEDGE : 0;
}

// Draws the window's children into dc, whose origin is the window's top-left corner, bottom
// of the order first: the system's off-line drawing leaves them out.
void printChildren(HWND window, HDC dc) {
    RECT frame{};
    GetWindowRect(window, &frame);
    HWND child = GetWindow(window, GW_CHILD);
    if (child == nullptr) {
        return;
    }
    for (child = GetWindow(child, GW_HWNDLAST); child != nullptr;
         child = GetWindow(child, GW_HWNDPREV)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) == 0) {
            continue;
        }
        RECT place{};
        GetWindowRect(child, &place);
        const int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, place.left - frame.left, place.top - frame.top, nullptr);
        IntersectClipRect(dc, 0, 0, place.right - place.left, place.bottom - place.top);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        RestoreDC(dc, saved);
    }
}

// The frame and caption bar, which a display without a window manager leaves undrawn.
void drawFrame(HWND window, HDC dc, const RECT& frame) {
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) {
        return;
    }
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    RECT client{};
    GetClientRect(window, &client);
    const int left = clientOrigin.x - frame.left;
    const int top = clientOrigin.y - frame.top;
    RECT whole{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, left, top, left + client.right, top + client.bottom);
    FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT);
    RestoreDC(dc, saved);
    RECT caption{left, std::max(0, top - GetSystemMetrics(SM_CYCAPTION)), left + client.right, top};
    DrawCaption(window, dc, &caption, DC_ACTIVE | DC_TEXT | DC_ICON | DC_GRADIENT);
}

// A window on the screen drawn as it is seen there, frame and all. Where the system draws
// windows off-line through this message (Wine), it leaves the frame and most controls out.
bool copyFromScreen(HWND window, HDC dc) {
    RECT frame{};
    GetWindowRect(window, &frame);
    HDC seen = GetWindowDC(window);
    const bool copied = BitBlt(dc, 0, 0, frame.right - frame.left, frame.bottom - frame.top, seen,
                               0, 0, SRCCOPY) != FALSE;
    ReleaseDC(window, seen);
    if (copied) {
        drawFrame(window, dc, frame);
    }
    return copied;
}

}  // namespace

DialogFrame::~DialogFrame() {
    destroy();
}

int DialogFrame::pixels(int twips) const {
    return twipsToPixels(twips, dpi_);
}

bool DialogFrame::create(HWND owner, const FrameDesign& design, Handlers handlers) {
    destroy();
    registerFrameClass(&DialogFrame::procedure);
    design_ = design;
    handlers_ = std::move(handlers);
    dpi_ = windowDpi(owner);
    RECT frame{0, 0, pixels(design.width), pixels(design.height)};
    AdjustWindowRectEx(&frame, design.style, FALSE, design.exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT around{};
    if (owner == nullptr || !GetWindowRect(owner, &around)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    const int x = around.left + (around.right - around.left - width) / 2;
    const int y = around.top + (around.bottom - around.top - height) / 2;
    window_ =
        CreateWindowExW(design.exStyle, kFrameClass, toWide(design.caption).c_str(), design.style,
                        x, y, width, height, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) {
        return false;
    }
    dpi_ = windowDpi(window_);
    for (const ControlDesign& control : design_.controls) {
        CreateWindowExW(controlExStyle(control.windowClass), control.windowClass,
                        toWide(control.text).c_str(), WS_CHILD | WS_VISIBLE | control.style, 0, 0,
                        0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                        GetModuleHandleW(nullptr), nullptr);
    }
    makeFonts();
    layOut();
    // The window may sit on a monitor of another DPI than its owner's.
    RECT client{0, 0, pixels(design.width), pixels(design.height)};
    AdjustWindowRectEx(&client, design.style, FALSE, design.exStyle);
    SetWindowPos(window_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void DialogFrame::destroy() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
    for (auto& [id, font] : emphasisFonts_) {
        DeleteObject(font);
    }
    emphasisFonts_.clear();
    if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
    }
}

void DialogFrame::makeFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTW message = metrics.lfMessageFont;
    // The metrics are given at the system's DPI; the window may be on another monitor.
    message.lfHeight = MulDiv(message.lfHeight, dpi_, windowDpi(nullptr));
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = CreateFontIndirectW(&message);
    for (auto& [id, font] : emphasisFonts_) {
        DeleteObject(font);
    }
    emphasisFonts_.clear();
    for (const auto& [id, look] : emphasis_) {
        LOGFONTW large = message;
        large.lfHeight = static_cast<LONG>(std::lround(message.lfHeight * look.first));
        if (look.second) {
            large.lfWeight = FW_BOLD;
        }
        emphasisFonts_[id] = CreateFontIndirectW(&large);
    }
}

void DialogFrame::layOut() {
    for (const ControlDesign& control : design_.controls) {
        HWND child = item(control.id);
        SetWindowPos(child, nullptr, pixels(control.left), pixels(control.top),
                     pixels(control.width), pixels(control.height), SWP_NOZORDER | SWP_NOACTIVATE);
        const auto emphasized = emphasisFonts_.find(control.id);
        const HFONT font = emphasized != emphasisFonts_.end() ? emphasized->second : font_;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void DialogFrame::emphasize(int id, double scale, bool bold) {
    emphasis_[id] = {scale, bold};
    makeFonts();
    layOut();
}

void DialogFrame::moveTo(int x, int y) {
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogFrame::setCaption(std::string_view caption) {
    SetWindowTextW(window_, toWide(caption).c_str());
}

std::string DialogFrame::text(int id) const {
    HWND child = item(id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
    return toUtf8(text);
}

void DialogFrame::setText(int id, std::string_view text) {
    SetWindowTextW(item(id), toWide(text).c_str());
}

bool DialogFrame::checked(int id) const {
    return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogFrame::setChecked(int id, bool checked) {
    SendMessageW(item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DialogFrame::setVisible(int id, bool visible) {
    ShowWindow(item(id), visible ? SW_SHOWNA : SW_HIDE);
}

int DialogFrame::runModal() {
    if (window_ == nullptr) {
        return IDCANCEL;
    }
    HWND owner = GetWindow(window_, GW_OWNER);
    const bool ownerEnabled = owner != nullptr && IsWindowEnabled(owner);
    if (ownerEnabled) {
        EnableWindow(owner, FALSE);
    }
    ShowWindow(window_, SW_SHOW);
    if (HWND first = firstTabStop(window_)) {
        SetFocus(first);
    }
    running_ = true;
    result_ = IDCANCEL;
    MSG message{};
    while (running_ && window_ != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program ends: the main loop must see the quit message too.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) {
            break;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    running_ = false;
    // The owner is enabled before this window goes, so that it is the one activated.
    if (ownerEnabled) {
        EnableWindow(owner, TRUE);
    }
    destroy();
    return result_;
}

void DialogFrame::endModal(int result) {
    result_ = result;
    running_ = false;
    if (window_ != nullptr) {
        PostMessageW(window_, WM_NULL, 0, 0);
    }
}

void DialogFrame::close() {
    if (handlers_.closing && !handlers_.closing()) {
        return;
    }
    if (running_) {
        endModal(IDCANCEL);
    } else {
        destroy();
    }
}

LRESULT CALLBACK DialogFrame::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* frame = reinterpret_cast<DialogFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (frame == nullptr || (frame->window_ != nullptr && frame->window_ != window)) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        frame->window_ = nullptr;
        frame->running_ = false;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (frame->window_ == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return frame->onMessage(message, wParam, lParam);
}

LRESULT DialogFrame::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (handlers_.other) {
        if (const auto answer = handlers_.other(message, wParam, lParam)) {
            return *answer;
        }
    }
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            // Esc, when no button of the window is Cancel.
            if (id == IDCANCEL && item(IDCANCEL) == nullptr) {
                close();
                return 0;
            }
            if (handlers_.command) {
                handlers_.command(id, HIWORD(wParam));
            }
            return 0;
        }
        case WM_CLOSE:
            close();
            return 0;
        case WM_ACTIVATE: {
            // A message box takes the focus away; the control that had it gets it back.
            static constexpr const wchar_t* kFocusProperty = L"MerovanFocus";
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                SetPropW(window_, kFocusProperty, IsChild(window_, focus) ? focus : nullptr);
            } else if (auto* focus = static_cast<HWND>(GetPropW(window_, kFocusProperty));
                       focus != nullptr && IsWindow(focus)) {
                SetFocus(focus);
                return 0;
            }
            break;
        }
        case WM_DESTROY:
            RemovePropW(window_, L"MerovanFocus");
            break;
        case WM_PRINT: {
            if (IsWindowVisible(window_) &&
                copyFromScreen(window_, reinterpret_cast<HDC>(wParam))) {
                return 0;
            }
            const LRESULT drawn = DefWindowProcW(window_, message, wParam, lParam);
            if ((lParam & PRF_CHILDREN) != 0) {
                printChildren(window_, reinterpret_cast<HDC>(wParam));
            }
            return drawn;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            makeFonts();
            layOut();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            if (handlers_.laidOut) {
                handlers_.laidOut();
            }
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

int comboSelection(HWND list) {
    return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
}

}  // namespace merovan::gui::win32
