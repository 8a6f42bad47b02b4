#include "gui/win32/about_box.h"

#include "core/desktop/about_info.h"
#include "core/desktop/system_information.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/dpi.h"
#include "gui/win32/resource_ids.h"
#include "gui/win32/window_icon.h"

namespace merovan::gui::win32 {
namespace {

enum Control : int { Icon = 100, Title, Version, Description, Disclaimer, SystemInformation };
constexpr int kIconPixels = 48;  // at 96 DPI
constexpr DWORD kText = SS_LEFT | SS_NOPREFIX;

FrameDesign aboutDesign(const desktop::AboutInfo& info) {
    FrameDesign design;
    design.caption = info.caption;
    design.width = 6300;
    design.height = 3360;
    design.controls = {
        {Icon, L"STATIC", "", SS_ICON | SS_CENTERIMAGE, 240, 240, 720, 720},
        {Title, L"STATIC", info.title, kText, 1200, 180, 4860, 480},
        {Version, L"STATIC", info.version, kText, 1200, 720, 4860, 255},
        {Description, L"STATIC", info.description, kText, 1200, 1080, 4860, 780},
        {Disclaimer, L"STATIC", info.disclaimer, kText, 240, 2040, 4320, 1080},
        // OK is the button Enter presses.
        {IDOK, L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 4740, 2040, 1320, 375},
        {SystemInformation, L"BUTTON", "&System Info...", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
         4740, 2520, 1320, 375},
    };
    return design;
}

// The program's icon at the window's DPI; the system's application icon in a program without
// one (the tests).
HICON loadProgramIcon(int dpi) {
    const int size = scaleToDpi(kIconPixels, dpi);
    if (auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                   size, size, LR_DEFAULTCOLOR))) {
        return icon;
    }
    return static_cast<HICON>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

AboutBox::~AboutBox() {
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
}

bool AboutBox::create(HWND owner) {
    DialogFrame::Handlers handlers;
    handlers.command = [this](int id, int code) { onCommand(id, code); };
    handlers.laidOut = [this] { drawIcon(); };
    if (!frame_.create(owner, aboutDesign(desktop::aboutInfo()), std::move(handlers))) {
        return false;
    }
    frame_.emphasize(Title, 1.6, true);
    takeOwnerIcon(frame_.handle(), owner);
    drawIcon();
    return true;
}

void AboutBox::drawIcon() {
    HICON icon = loadProgramIcon(frame_.dpi());
    SendMessageW(frame_.item(Icon), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
    icon_ = icon;
}

void AboutBox::onCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    if (id == IDOK) {
        frame_.endModal(IDOK);
    } else if (id == SystemInformation && !desktop::startSystemInformationTool()) {
        messages_.show(frame_.handle(),
                       common::formatMessageBox(desktop::kSystemInformationUnavailable,
                                                common::buttons::kOk, {}));
    }
}

bool showAboutBox(HWND owner, MessageBoxes& messages) {
    AboutBox box(messages);
    return box.create(owner) && box.frame().runModal() == IDOK;
}

}  // namespace merovan::gui::win32
