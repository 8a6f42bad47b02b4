// Stand-ins for the dialogs while their own sources are not in the tree, so that the program
// and its end-to-end test build; each does nothing. Left out once the dialogs are there.
#include "gui/win32/dialogs.h"

namespace merovan::gui::win32 {

SettingsOutcome runSettingsDialog(HWND, const DialogContext&) {
    return SettingsOutcome::Closed;
}
void runCardPaymentDialog(HWND, const DialogContext&) {}
bool showAboutBox(HWND, MessageBoxes&) {
    return false;
}

struct TraceWindow::Impl {
    bool open = false;
};
TraceWindow::TraceWindow(std::function<void()>) : impl_(std::make_unique<Impl>()) {}
TraceWindow::~TraceWindow() = default;
void TraceWindow::open(HWND) {
    impl_->open = true;
}
void TraceWindow::close() {
    impl_->open = false;
}
bool TraceWindow::isOpen() const {
    return impl_->open;
}
void TraceWindow::appendLine(std::string_view) {}
std::vector<std::string> TraceWindow::lines() const {
    return {};
}
HWND TraceWindow::handle() const {
    return nullptr;
}

struct CardWaitWindow::Impl {
    bool shown = false;
};
CardWaitWindow::CardWaitWindow() : impl_(std::make_unique<Impl>()) {}
CardWaitWindow::~CardWaitWindow() = default;
void CardWaitWindow::show(HWND) {
    impl_->shown = true;
}
void CardWaitWindow::hide() {
    impl_->shown = false;
}
bool CardWaitWindow::isShown() const {
    return impl_->shown;
}
HWND CardWaitWindow::handle() const {
    return nullptr;
}

std::vector<std::filesystem::path> screenshotDialogs(HWND, const std::filesystem::path&,
                                                     common::Clock&) {
    return {};
}

}  // namespace merovan::gui::win32
