#include "gui/win32/windows_api.h"

#include <algorithm>
#include <cstring>

#include "core/desktop/trace_buffer.h"
#include "gui/win32/dialog_frame.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/trace_window_lines.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/window_icon.h"

namespace merovan::gui::win32 {
namespace {

constexpr int kListId = 100;
constexpr int kWidthTwips = 4575;
constexpr int kHeightTwips = 9255;
constexpr int kTextMargin = 2;  // pixels left of each line
constexpr UINT kRefreshMessage = WM_APP + 1;

}  // namespace

// The lines are drawn by an owner-drawn list that holds no data of its own: it asks for the
// lines in view only, so 10,000 lines cost no more to show than 40.
struct TraceWindow::Impl {
    std::function<void()> closed;
    DialogFrame frame;
    TraceWindowLines lines{desktop::TraceBuffer::kMaxLines};
    HFONT font = nullptr;
    int lineHeight = 13;
    int widest = 0;
    std::size_t unmeasured = 0;  // the newest lines, not yet counted in widest
    bool gaveWay = false;        // old lines went since the last refresh
    bool refreshPosted = false;

    ~Impl() { dropFont(); }

    HWND list() const { return frame.item(kListId); }

    void dropFont() {
        if (font != nullptr) {
            DeleteObject(font);
            font = nullptr;
        }
    }

    // Courier New 8.25 pt with the Greek character set, at the window's DPI.
    void makeFont() {
        dropFont();
        font = CreateFontW(-MulDiv(825, frame.dpi(), 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           GREEK_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, L"Courier New");
        HDC screen = GetDC(list());
        const HGDIOBJ old = SelectObject(screen, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen, &metrics);
        lineHeight = metrics.tmHeight;
        widest = 0;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            widest = std::max(widest, widthOf(screen, lines.at(k)));
        }
        SelectObject(screen, old);
        ReleaseDC(list(), screen);
        SendMessageW(list(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(list(), LB_SETITEMHEIGHT, 0, lineHeight);
        SendMessageW(list(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
        fitList();
        InvalidateRect(list(), nullptr, TRUE);
    }

    static int widthOf(HDC dc, const std::wstring& line) {
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx + 2 * kTextMargin;
    }

    void fitList() {
        RECT client{};
        GetClientRect(frame.handle(), &client);
        SetWindowPos(list(), nullptr, 0, 0, client.right, client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Lines are kept at once and drawn together: a burst of lines costs one redraw.
    void append(std::string_view line) {
        gaveWay = lines.append(toWide(line)) || gaveWay;
        unmeasured = std::min(unmeasured + 1, lines.size());
        if (!refreshPosted) {
            refreshPosted = PostMessageW(frame.handle(), kRefreshMessage, 0, 0) != FALSE;
        }
    }

    void refresh() {
        refreshPosted = false;
        HDC dc = GetDC(list());
        const HGDIOBJ old = SelectObject(dc, font);
        for (std::size_t k = lines.size() - unmeasured; k < lines.size(); ++k) {
            widest = std::max(widest, widthOf(dc, lines.at(k)));
        }
        SelectObject(dc, old);
        ReleaseDC(list(), dc);
        unmeasured = 0;
        SendMessageW(list(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
        const auto count = static_cast<std::size_t>(SendMessageW(list(), LB_GETCOUNT, 0, 0));
        if (count != lines.size()) {
            SendMessageW(list(), LB_SETCOUNT, lines.size(), 0);
        }
        // The newest line in view; the list scrolls and draws only what came into view.
        SendMessageW(list(), LB_SETTOPINDEX, lines.size() - 1, 0);
        if (gaveWay) {
            // The lines moved up while their count stayed.
            InvalidateRect(list(), nullptr, FALSE);
            gaveWay = false;
        }
    }

    void draw(const DRAWITEMSTRUCT& item) const {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
        if (item.itemID == static_cast<UINT>(-1) || item.itemID >= lines.size()) {
            return;
        }
        const std::wstring& line = lines.at(item.itemID);
        const HGDIOBJ old = SelectObject(item.hDC, font);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
        TextOutW(item.hDC, item.rcItem.left + kTextMargin, item.rcItem.top, line.c_str(),
                 static_cast<int>(line.size()));
        SelectObject(item.hDC, old);
    }

    // Ctrl+C puts the whole trace on the clipboard, one line after each line break, as a
    // text box would give it: the trace is what a shop sends to its support.
    void copyAll() const {
        std::wstring text;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            text += k == 0 ? L"" : L"\r\n";
            text += lines.at(k);
        }
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (memory == nullptr) {
            return;
        }
        std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        if (OpenClipboard(frame.handle())) {
            EmptyClipboard();
            if (SetClipboardData(CF_UNICODETEXT, memory) != nullptr) {
                memory = nullptr;  // the clipboard owns it now
            }
            CloseClipboard();
        }
        if (memory != nullptr) {
            GlobalFree(memory);
        }
    }

    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case kRefreshMessage:
                refresh();
                return 0;
            case WM_SIZE:
                fitList();
                return 0;
            case WM_MEASUREITEM:
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
                    static_cast<UINT>(lineHeight);
                return TRUE;
            case WM_VKEYTOITEM:
                if (LOWORD(wParam) == 'C' && (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
                    copyAll();
                    return -2;  // handled
                }
                return -1;  // the list's own keys
            case WM_DRAWITEM:
                draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            default:
                return std::nullopt;
        }
    }
};

TraceWindow::TraceWindow(std::function<void()> closed) : impl_(std::make_unique<Impl>()) {
    impl_->closed = std::move(closed);
}

TraceWindow::~TraceWindow() = default;

void TraceWindow::open(HWND owner) {
    if (isOpen()) {
        return;
    }
    Impl& impl = *impl_;
    FrameDesign design;
    design.caption = "Επικοινωνία Ταμειακής";
    design.width = kWidthTwips;
    design.height = kHeightTwips;
    design.style = WS_OVERLAPPEDWINDOW;
    design.exStyle = 0;
    design.controls.push_back({kListId, L"LISTBOX", "",
                               LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | LBS_NOSEL |
                                   LBS_WANTKEYBOARDINPUT | LBS_DISABLENOSCROLL | WS_VSCROLL |
                                   WS_HSCROLL | WS_TABSTOP,
                               0, 0, kWidthTwips, kHeightTwips});
    DialogFrame::Handlers handlers;
    handlers.other = [&impl](UINT message, WPARAM wParam, LPARAM lParam) {
        return impl.onMessage(message, wParam, lParam);
    };
    handlers.laidOut = [&impl] { impl.makeFont(); };
    // Closed from its frame: the lines go with the window; the owner is told after.
    handlers.closing = [&impl] {
        impl.frame.destroy();
        if (impl.closed) {
            impl.closed();
        }
        return false;
    };
    impl.lines.clear();
    impl.widest = 0;
    impl.unmeasured = 0;
    impl.gaveWay = false;
    impl.refreshPosted = false;
    if (!impl.frame.create(owner, design, std::move(handlers))) {
        return;
    }
    impl.makeFont();
    SendMessageW(impl.list(), LB_SETCOUNT, impl.lines.size(), 0);
    takeOwnerIcon(impl.frame.handle(), owner);
    // Just right of the main window, level with its top.
    RECT beside{};
    if (owner != nullptr && GetWindowRect(owner, &beside)) {
        impl.frame.moveTo(beside.right, beside.top);
    }
    ShowWindow(impl.frame.handle(), SW_SHOW);
}

void TraceWindow::close() {
    impl_->frame.destroy();
}

bool TraceWindow::isOpen() const {
    return impl_->frame.handle() != nullptr;
}

void TraceWindow::appendLine(std::string_view line) {
    if (isOpen()) {
        impl_->append(line);
    }
}

std::vector<std::string> TraceWindow::lines() const {
    std::vector<std::string> shown;
    for (std::size_t k = 0; k < impl_->lines.size(); ++k) {
        shown.push_back(toUtf8(impl_->lines.at(k)));
    }
    return shown;
}

HWND TraceWindow::handle() const {
    return impl_->frame.handle();
}

}  // namespace merovan::gui::win32
