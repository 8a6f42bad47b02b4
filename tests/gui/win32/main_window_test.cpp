#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "gui/win32/program.h"
#include "gui/win32/wide_text.h"
#include "support/fake_clock.h"
#include "support/scripted_transport.h"

namespace merovan::testing {
namespace {

class SilentBoxes final : public gui::win32::MessageBoxes {
  public:
    int show(HWND, const common::MessageBox&) override { return common::answers::kOk; }
};

std::string textOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return gui::win32::toUtf8(text);
}

bool checked(HMENU menu, gui::win32::Command command) {
    return (GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

int height(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame.bottom - frame.top;
}

// The Windows program over a scripted register in a directory of its own. The driver runs on
// the test's thread: what the windows show is the presenter's (tests/desktop); these check
// the drawing and the wiring.
class Win32WindowTest : public ::testing::Test {
  protected:
    Win32WindowTest() {
        dir_ = std::filesystem::temp_directory_path() /
               ("merovan-win32-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(dir_);
        std::filesystem::copy_file(std::string(MEROVAN_FIXTURES_DIR) + "/settings/param_tar48.ini",
                                   dir_ / "param.ini",
                                   std::filesystem::copy_options::overwrite_existing);
        driver::DriverServices services;
        services.transports = register_.factory();
        driver::DriverOptions options;
        options.workDir = dir_.string();
        options.endMarker = (dir_ / "end.txt").string();
        program_ = std::make_unique<gui::win32::Program>(
            gui::win32::DialogContext{{dir_.string(), clock_, ","}, boxes_}, services, options);
    }
    ~Win32WindowTest() override {
        program_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    void command(gui::win32::Command which) {
        SendMessageW(program_->window().handle(), WM_COMMAND, static_cast<WPARAM>(which), 0);
    }

    std::filesystem::path dir_;
    FakeClock clock_;
    ScriptedTransport register_{clock_};
    SilentBoxes boxes_;
    std::unique_ptr<gui::win32::Program> program_;
};

TEST_F(Win32WindowTest, WindowDrawsThePresenterAndForwardsClicks) {
    using gui::win32::Command;
    gui::win32::MainWindow& window = program_->window();
    HWND start = GetDlgItem(window.handle(), static_cast<int>(Command::Start));
    HWND stop = GetDlgItem(window.handle(), static_cast<int>(Command::Stop));
    ASSERT_TRUE(program_->driver().load());
    // No close entry and no sizing in the system menu: the window ends through its menu.
    HMENU system = GetSystemMenu(window.handle(), FALSE);
    EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(system, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));

    program_->driver().supervisionTick();
    EXPECT_EQ(textOf(window.handle()), "Merovan- Έτοιμο");
    EXPECT_TRUE(IsWindowEnabled(start));
    EXPECT_EQ(SendMessageW(window.handle(), DM_GETDEFID, 0, 0),
              MAKELRESULT(static_cast<WORD>(Command::Start), DC_HASDEFID));
    SendMessageW(start, BM_CLICK, 0, 0);
    EXPECT_TRUE(program_->driver().polling());
    EXPECT_TRUE(IsWindowEnabled(stop));
    EXPECT_FALSE(IsWindowEnabled(start));
    EXPECT_TRUE(checked(window.trayMenu(), Command::TrayStart));
    command(Command::TrayStop);
    EXPECT_FALSE(program_->driver().polling());
    EXPECT_TRUE(checked(window.trayMenu(), Command::TrayStop));
    EXPECT_FALSE(checked(window.trayMenu(), Command::TrayStart));
}

TEST_F(Win32WindowTest, NoticesGrowTheWindowUntilSeenAndTheFrameHidesToTheTray) {
    using gui::win32::Command;
    gui::win32::MainWindow& window = program_->window();
    window.show();
    const int before = height(window.handle());
    program_->presenter().log("Η εργασία διακόπηκε: print.1");
    HWND seen = GetDlgItem(window.handle(), static_cast<int>(Command::NoticeSeen));
    EXPECT_TRUE(IsWindowVisible(seen));
    EXPECT_GT(height(window.handle()), before);
    SendMessageW(seen, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(seen));
    EXPECT_EQ(height(window.handle()), before);

    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_NE(IsWindowVisible(window.handle()) != FALSE, window.hasTray());
    command(Command::Show);
    EXPECT_TRUE(IsWindowVisible(window.handle()));

    // The end: the window greys, and a click no longer reaches the driver.
    program_->end();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window.handle(), static_cast<int>(Command::Start))));
    command(Command::Start);
    EXPECT_FALSE(program_->driver().polling());
}

}  // namespace
}  // namespace merovan::testing
