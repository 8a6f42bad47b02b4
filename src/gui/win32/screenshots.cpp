#include "gui/win32/screenshots.h"

#include <cstdio>
#include <string>

#include "core/common/clock.h"
#include "core/common/texts.h"
#include "gui/win32/program.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/window_picture.h"

namespace merovan::gui::win32 {
namespace {

namespace texts = common::texts;

// Nobody looks at the boxes while the pictures are taken.
class LoggingMessageBoxes final : public MessageBoxes {
  public:
    int show(HWND, const common::MessageBox& box) override {
        std::fprintf(stderr, "message: %s\n", box.text.c_str());
        return common::answers::kOk;
    }
};

// Lets the windows draw what they were told, then writes the picture.
bool shoot(HWND window, const std::filesystem::path& file) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    serveWindowMessages();
    const std::string failure = saveWindowPicture(window, file);
    if (!failure.empty()) {
        std::fprintf(stderr, "merovan: %s: %s\n", file.string().c_str(), failure.c_str());
        return false;
    }
    std::printf("%s\n", file.string().c_str());
    return true;
}

// What a tray menu picture needs while the menu's own loop runs.
struct MenuShot {
    std::filesystem::path file;
    bool taken = false;
};

// The tray menu is a pop-up with a loop of its own: a timer inside that loop finds the menu's
// window, takes its picture and closes it.
bool shootTrayMenu(MainWindow& window, const std::filesystem::path& file) {
    MenuShot shot{file};
    SetPropW(window.handle(), L"MerovanMenuShot", &shot);
    SetTimer(window.handle(), 1, 200, [](HWND owner, UINT, UINT_PTR id, DWORD) {
        KillTimer(owner, id);
        auto* pending = static_cast<MenuShot*>(GetPropW(owner, L"MerovanMenuShot"));
        if (HWND menu = FindWindowW(L"#32768", nullptr); menu != nullptr && pending != nullptr) {
            pending->taken = shoot(menu, pending->file);
        }
        EndMenu();
    });
    window.drawControls();
    RECT frame{};
    GetWindowRect(window.handle(), &frame);
    SetForegroundWindow(window.handle());
    TrackPopupMenu(window.trayMenu(), TPM_RIGHTBUTTON, frame.left + 60, frame.top + 60, 0,
                   window.handle(), nullptr);
    RemovePropW(window.handle(), L"MerovanMenuShot");
    return shot.taken;
}

std::filesystem::path workPlace() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const auto dir = std::filesystem::path(temp) /
                     ("merovan-screenshots-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace

int takeScreenshots(const std::filesystem::path& dir) {
    std::error_code failed;
    std::filesystem::create_directories(dir, failed);
    if (failed) {
        std::fprintf(stderr, "merovan: cannot create %s\n", dir.string().c_str());
        return 1;
    }
    const std::filesystem::path work = workPlace();
    common::SystemClock clock;
    LoggingMessageBoxes messages;
    driver::DriverOptions options;
    options.workDir = toUtf8(work.wstring());
    options.endMarker = toUtf8((work / "end.txt").wstring());
    int missing = 0;
    {
        Program program({{options.workDir, clock, ","}, messages}, {}, options);
        MainWindow& window = program.window();
        desktop::DesktopPresenter& presenter = program.presenter();
        const auto state = [&](std::string_view caption, std::string_view status,
                               common::DriverState driverState, const char* name) {
            presenter.setCaption(std::string(caption));
            presenter.setStatus(std::string(status));
            presenter.setDriverState(driverState);
            missing += shoot(window.handle(), dir / name) ? 0 : 1;
        };
        presenter.showSettings({"com1", "9600", "print @Path : C:\\pos\\", "VeskoTan",
                                "Να Εκτυπώνεται", "Nαι", "Κύριο Νόμισμα"});
        SetWindowPos(window.handle(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        window.show();
        state(texts::kCaptionSearching, texts::kStatusSearching, common::DriverState::Searching,
              "win-main-searching.png");
        state(texts::kCaptionReady, texts::kStatusOnline, common::DriverState::Ready,
              "win-main-ready.png");
        missing += shootTrayMenu(window, dir / "win-tray-menu-ready.png") ? 0 : 1;
        presenter.setReceiptCount(3);
        presenter.setProgressText(" Ολοκληρώθηκε το 67%");
        state(texts::kCaptionWaiting, texts::kStatusWaiting, common::DriverState::Printing,
              "win-main-printing.png");
        missing += shootTrayMenu(window, dir / "win-tray-menu-printing.png") ? 0 : 1;
        presenter.setProgressText("-");
        state(texts::kCaptionStopped, texts::kStatusStopped, common::DriverState::Stopped,
              "win-main-stopped.png");
        presenter.log(std::string(texts::kInterruptedJob) + "print.1");
        presenter.log(std::string(texts::kJobWaitsForRegister) + "print.2");
        missing += shoot(window.handle(), dir / "win-main-notice.png") ? 0 : 1;
        presenter.noticeSeen();
        presenter.noticeSeen();

        screenshotDialogs(window.handle(), dir, clock);

        state(texts::kCaptionOffline, texts::kStatusOffline, common::DriverState::Offline,
              "win-main-offline.png");
        // The end while the driver's thread still finishes an exchange: the note stays.
        presenter.beginEnding(true);
        missing += shoot(window.handle(), dir / "win-main-ending.png") ? 0 : 1;
    }
    std::filesystem::remove_all(work, failed);
    return missing == 0 ? 0 : 1;
}

}  // namespace merovan::gui::win32
