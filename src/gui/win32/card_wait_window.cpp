#include "gui/win32/windows_api.h"

#include "core/eft/eft_table.h"
#include "gui/win32/dialog_frame.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/window_icon.h"

namespace merovan::gui::win32 {
namespace {

enum Control : int { WaitLabel = 100, DetailLabel };
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 1000;

int systemSecondOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
}

FrameDesign waitDesign() {
    FrameDesign design;
    design.caption = eft::kEftWaitCaption;
    design.width = 4800;
    design.height = 1140;
    // No close box: the window goes when the exchange ends.
    design.style = WS_POPUP | WS_CAPTION;
    design.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
    design.controls = {
        {WaitLabel, L"STATIC", eft::kEftWaitFirstLabel, SS_LEFT | SS_NOPREFIX, 240, 180, 4320, 450},
        {DetailLabel, L"STATIC", "", SS_LEFT | SS_NOPREFIX, 240, 720, 4320, 255},
    };
    return design;
}

}  // namespace

struct CardWaitWindow::Impl {
    std::function<int()> secondOfDay;
    DialogFrame frame;
    int startSecond = 0;
};

CardWaitWindow::CardWaitWindow(std::function<int()> secondOfDay) : impl_(std::make_unique<Impl>()) {
    impl_->secondOfDay = secondOfDay ? std::move(secondOfDay) : systemSecondOfDay;
}

CardWaitWindow::~CardWaitWindow() {
    hide();
}

void CardWaitWindow::show(HWND owner) {
    Impl& impl = *impl_;
    if (impl.frame.handle() == nullptr) {
        DialogFrame::Handlers handlers;
        handlers.other = [this](UINT message, WPARAM wParam,
                                LPARAM /*lParam*/) -> std::optional<LRESULT> {
            if (message != WM_TIMER || wParam != kTickTimer) {
                return std::nullopt;
            }
            tick();
            return 0;
        };
        // Only the end of the exchange closes it.
        handlers.closing = [] { return false; };
        if (!impl.frame.create(owner, waitDesign(), std::move(handlers))) {
            return;
        }
        impl.frame.emphasize(WaitLabel, 1.5, true);
        takeOwnerIcon(impl.frame.handle(), owner);
    }
    impl.startSecond = impl.secondOfDay();
    impl.frame.setCaption(eft::kEftWaitCaption);
    impl.frame.setText(DetailLabel, "");
    impl.frame.setText(WaitLabel, eft::kEftWaitFirstLabel);
    SetTimer(impl.frame.handle(), kTickTimer, kTickMilliseconds, nullptr);
    // The top-left corner of the screen, clear of the task bar.
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    impl.frame.moveTo(workArea.left, workArea.top);
    ShowWindow(impl.frame.handle(), SW_SHOW);
}

void CardWaitWindow::hide() {
    if (impl_->frame.handle() != nullptr) {
        KillTimer(impl_->frame.handle(), kTickTimer);
        impl_->frame.destroy();
    }
}

void CardWaitWindow::tick() {
    Impl& impl = *impl_;
    if (impl.frame.handle() == nullptr) {
        return;
    }
    impl.frame.setText(WaitLabel, eft::eftWaitLabel(eft::eftWaitElapsedSeconds(
                                      impl.startSecond, impl.secondOfDay())));
    UpdateWindow(impl.frame.handle());
}

bool CardWaitWindow::isShown() const {
    return impl_->frame.handle() != nullptr;
}

HWND CardWaitWindow::handle() const {
    return impl_->frame.handle();
}

}  // namespace merovan::gui::win32
