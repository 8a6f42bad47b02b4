#include "gui/win32/main_window_parts.h"

#include <algorithm>

#include "gui/win32/dpi.h"
#include "gui/win32/wide_text.h"

namespace merovan::gui::win32 {
namespace {

int textWidth(HWND window, HFONT font, const std::string& text) {
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    const std::wstring wide = toWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size.cx;
}

int lineHeight(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

// The dialog font at 8.25 points; Greek comes through the Unicode text, whatever the face's
// own character set.
HFONT createFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(825, dpi, 7200);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"MS Shell Dlg 2");
    return CreateFontIndirectW(&font);
}

}  // namespace

void MainWindow::useDpi(int dpi) {
    dpi_ = dpi;
    HFONT previous = font_;
    font_ = createFont(dpi);
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM font) {
            SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(font_));
    if (previous != nullptr) {
        DeleteObject(previous);
    }
    layout();
}

// Positions every control at the window's DPI; the window grows by the notices strip while it
// is shown.
void MainWindow::layout() {
    const Controls& c = *controls_;
    const int dpi = dpi_;
    const auto scaled = [dpi](int pixels) { return scaleToDpi(pixels, dpi); };
    const auto place = [](HWND control, int x, int y, int width, int height) {
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int width = twipsToPixels(kClientWidth, dpi);
    const int marginX = scaled(8);
    const int marginY = scaled(6);
    const int line = lineHeight(window_, font_);
    const int buttonHeight = std::max(scaled(23), line + scaled(8));
    const int gap = scaled(6);

    const int side = std::max(textWidth(window_, font_, kWidestProgress) + scaled(8),
                              textWidth(window_, font_, "Διακοπή Εκτύπωσης") + scaled(24));
    const int sideX = width - marginX - side;
    int y = marginY;
    place(c.start, sideX, y, side, buttonHeight);
    y += buttonHeight + gap;
    place(c.stop, sideX, y, side, buttonHeight);
    y += buttonHeight + 2 * gap;
    const int receiptWidth = textWidth(window_, font_, " Αριθμός Αποδείξεων") + scaled(4);
    place(c.receiptLabel, sideX, y, receiptWidth, line);
    place(c.receiptCount, sideX + receiptWidth, y, side - receiptWidth, line);
    y += line + gap;
    place(c.progress, sideX, y, side, line);

    int labelWidth = 0;
    for (const char* label : kSettingLabels) {
        labelWidth = std::max(labelWidth, textWidth(window_, font_, label) + scaled(2));
    }
    const int valueX = marginX + labelWidth + gap;
    for (std::size_t row = 0; row < kSettingLabels.size(); ++row) {
        const int rowY = marginY + static_cast<int>(row) * (line + scaled(2));
        place(c.labels[row], marginX, rowY, labelWidth, line);
        place(c.values[row], valueX, rowY, sideX - gap - valueX, line);
    }

    const int height = twipsToPixels(kClientHeight, dpi) + (noticesShown_ ? buttonHeight + gap : 0);
    const int statusHeight = line + scaled(8);
    const int statusY = height - marginY - statusHeight;
    place(c.status, marginX, statusY, width - 2 * marginX, statusHeight);
    const int seenWidth = textWidth(window_, font_, "Εντάξει") + scaled(24);
    const int noticeY = statusY - gap - buttonHeight;
    place(c.notice, marginX, noticeY + (buttonHeight - line) / 2,
          width - 2 * marginX - gap - seenWidth, line);
    place(c.noticeSeen, width - marginX - seenWidth, noticeY, seenWidth, buttonHeight);

    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), TRUE, 0);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace merovan::gui::win32
