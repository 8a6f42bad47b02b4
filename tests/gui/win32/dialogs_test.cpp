#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/desktop/trace_buffer.h"
#include "core/eft/eft_table.h"
#include "core/settings/param_file.h"
#include "core/vat/vat_table.h"
#include "gui/win32/card_payment_dialog.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/dpi.h"
#include "gui/win32/settings_dialog.h"
#include "gui/win32/trace_window_lines.h"
#include "gui/win32/win32_view_thread.h"
#include "support/fake_clock.h"
#include "support/read_file.h"
#include "support/temp_dir.h"

namespace merovan::testing {
namespace {

using gui::win32::CardPaymentDialog;
using gui::win32::SettingsDialog;

// Answers every box at once and keeps what it was asked to say.
class RecordedBoxes final : public gui::win32::MessageBoxes {
  public:
    int show(HWND /*owner*/, const common::MessageBox& box) override {
        texts.push_back(box.text);
        return common::answers::kOk;
    }
    std::vector<std::string> texts;
};

class DialogsTest : public ::testing::Test {
  protected:
    DialogsTest() {
        settings::ParamDialogValues values;
        values.port = "com2";
        values.baud = "9600";
        values.file = "print";
        values.registerFamily = "VeskoTan";
        values.printDesc = true;
        values.printCode = settings::PrintCodeChoice::AsNumber;
        values.currency = settings::CurrencyChoice::Main;
        values.location = "C:\\pos\\";
        EXPECT_TRUE(
            settings::writeParamFile(dir_.file("param.ini"), values, clock_.localDateTime()));
        EXPECT_TRUE(vat::saveVatRates(dir_.file(vat::kVatFileName), {24, 13, 6.5, 0, 17}));
    }
    gui::win32::DialogContext context() { return {{dir_.path.string(), clock_, ","}, boxes_}; }

    TempDir dir_;
    FakeClock clock_;
    RecordedBoxes boxes_;
};

bool shown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A click as the button takes it: its own state first (a box, an option), then the notice.
void click(gui::win32::DialogFrame& frame, int id) {
    SendMessageW(frame.item(id), BM_CLICK, 0, 0);
}

void chooseListEntry(gui::win32::DialogFrame& frame, int id, int index) {
    SendMessageW(frame.item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

TEST_F(DialogsTest, SettingsDialogShowsTheFilesAndWritesWhatItsControlsShow) {
    SettingsDialog dialog(context());
    ASSERT_TRUE(dialog.create(nullptr));
    auto& frame = dialog.frame();
    EXPECT_EQ(frame.text(SettingsDialog::Port), "com2");
    EXPECT_EQ(frame.text(SettingsDialog::Baud), "9600");
    EXPECT_EQ(frame.text(SettingsDialog::Location), "C:\\pos\\");
    EXPECT_EQ(gui::win32::comboSelection(frame.item(SettingsDialog::RegisterFamily)), 0);
    EXPECT_TRUE(frame.checked(SettingsDialog::Description));
    EXPECT_TRUE(frame.checked(SettingsDialog::NumericCode));
    EXPECT_FALSE(frame.checked(SettingsDialog::Comments));
    EXPECT_TRUE(frame.checked(SettingsDialog::PayMain));
    EXPECT_FALSE(frame.checked(SettingsDialog::PayAsJob));
    EXPECT_EQ(frame.text(SettingsDialog::VatRate + 2), "6,5");
    EXPECT_TRUE(boxes_.texts.empty());

    // Ticking the text code clears the numeric one; an IP address hides the speed.
    click(frame, SettingsDialog::TextCode);
    EXPECT_FALSE(frame.checked(SettingsDialog::NumericCode));
    frame.setText(SettingsDialog::Port, "192.168.1.50");
    EXPECT_FALSE(shown(frame.item(SettingsDialog::Baud)));
    frame.setText(SettingsDialog::Port, "com3");
    EXPECT_TRUE(shown(frame.item(SettingsDialog::Baud)));
    frame.setText(SettingsDialog::Port, "192.168.1.50");

    chooseListEntry(frame, SettingsDialog::RegisterFamily, 1);
    click(frame, SettingsDialog::Comments);
    click(frame, SettingsDialog::PaySecondary);
    click(frame, SettingsDialog::AutoStart);
    frame.setText(SettingsDialog::VatRate, "23.5");
    click(frame, SettingsDialog::Save);

    const std::string written = readFile(dir_.path / "param.ini");
    for (const char* line : {"[port] 192.168.1.50\r\n", "[baud] 5012\r\n", "[ecrt] tar48\r\n",
                             "[print_code] true A\r\n", "[comments] true\r\n", "[currency]=2\r\n",
                             "[location] C:\\pos\\\r\n"}) {
        EXPECT_NE(written.find(line), std::string::npos) << line;
    }
    const auto rates = vat::loadVatRates(dir_.file(vat::kVatFileName));
    ASSERT_TRUE(rates);
    EXPECT_EQ((*rates)[0], 23.5);
    EXPECT_EQ(frame.text(SettingsDialog::VatRate), "23,5");
    ASSERT_EQ(boxes_.texts.size(), 1u);
    EXPECT_NE(boxes_.texts[0].find("επανεκκινησετε"), std::string::npos);
}

// A shop types in a field and presses Enter: the settings must not be saved and the program
// must not end. Esc closes without saving; Alt+K saves.
TEST_F(DialogsTest, SettingsDialogSavesOnlyOnItsButtonNeverOnEnter) {
    const std::string original = readFile(dir_.path / "param.ini");
    {
        SettingsDialog dialog(context());
        ASSERT_TRUE(dialog.create(nullptr));
        HWND port = dialog.frame().item(SettingsDialog::Port);
        PostMessageW(port, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(port, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(dialog.run(), gui::win32::SettingsOutcome::Closed);
    }
    EXPECT_EQ(readFile(dir_.path / "param.ini"), original);
    EXPECT_TRUE(boxes_.texts.empty());

    SettingsDialog dialog(context());
    ASSERT_TRUE(dialog.create(nullptr));
    dialog.frame().setText(SettingsDialog::Port, "com4");
    PostMessageW(dialog.frame().item(SettingsDialog::Port), WM_SYSCHAR, 'k', 1 << 29);
    // Should Alt+K not reach the button, Esc ends the run all the same.
    PostMessageW(dialog.frame().item(SettingsDialog::Port), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dialog.run(), gui::win32::SettingsOutcome::Saved);
    EXPECT_NE(readFile(dir_.path / "param.ini").find("[port] com4\r\n"), std::string::npos);
}

// Restore brings back what the files hold; a missing param.ini is said once the dialog shows,
// and the dialog stays for making it anew.
TEST_F(DialogsTest, SettingsDialogRestoresTheFilesAndSaysWhenParamIniIsMissing) {
    {
        SettingsDialog dialog(context());
        ASSERT_TRUE(dialog.create(nullptr));
        auto& frame = dialog.frame();
        frame.setText(SettingsDialog::Port, "192.168.1.9");
        frame.setText(SettingsDialog::VatRate, "99");
        click(frame, SettingsDialog::Comments);
        click(frame, SettingsDialog::Restore);
        EXPECT_EQ(frame.text(SettingsDialog::Port), "com2");
        EXPECT_TRUE(shown(frame.item(SettingsDialog::Baud)));
        EXPECT_FALSE(frame.checked(SettingsDialog::Comments));
        EXPECT_EQ(frame.text(SettingsDialog::VatRate), "24");
    }
    std::filesystem::remove(dir_.path / "param.ini");
    SettingsDialog dialog(context());
    ASSERT_TRUE(dialog.create(nullptr));
    EXPECT_TRUE(boxes_.texts.empty());
    PostMessageW(dialog.frame().item(SettingsDialog::Port), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dialog.run(), gui::win32::SettingsOutcome::Closed);
    ASSERT_EQ(boxes_.texts.size(), 1u);
    EXPECT_NE(boxes_.texts[0].find("param.ini"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_.path / "param.ini"));
}

// Moved to a monitor of twice the DPI, a dialog places its controls and sizes its font anew
// from the twips of its layout.
TEST_F(DialogsTest, ADialogIsLaidOutAgainAtANewDpi) {
    SettingsDialog dialog(context());
    ASSERT_TRUE(dialog.create(nullptr));
    auto& frame = dialog.frame();
    const int dpi = frame.dpi() * 2;
    const auto fontHeight = [&frame] {
        LOGFONTW font{};
        GetObjectW(frame.font(), sizeof(font), &font);
        return std::abs(font.lfHeight);
    };
    const int height = fontHeight();
    RECT suggested{0, 0, 2000, 1400};
    SendMessageW(frame.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(frame.dpi(), dpi);
    RECT place{};
    GetWindowRect(frame.item(SettingsDialog::Save), &place);
    EXPECT_EQ(place.right - place.left, gui::win32::twipsToPixels(1380, dpi));
    EXPECT_EQ(place.bottom - place.top, gui::win32::twipsToPixels(375, dpi));
    EXPECT_NEAR(fontHeight(), 2 * height, 1);
    EXPECT_EQ(
        reinterpret_cast<HFONT>(SendMessageW(frame.item(SettingsDialog::Port), WM_GETFONT, 0, 0)),
        frame.font());
}

TEST_F(DialogsTest, CardPaymentDialogWritesTheChosenValuesAndFindsThemAgain) {
    {
        CardPaymentDialog dialog(context());
        ASSERT_TRUE(dialog.create(nullptr));
        auto& frame = dialog.frame();
        EXPECT_EQ(frame.text(CardPaymentDialog::PayNumber), "01");
        frame.setText(CardPaymentDialog::PayNumber, "7");
        chooseListEntry(frame, CardPaymentDialog::RegisterPayment, 3);  // kind 9
        chooseListEntry(frame, CardPaymentDialog::Terminal, 2);         // terminal 2
        click(frame, CardPaymentDialog::Active);
        click(frame, CardPaymentDialog::SaveRecord);
    }
    const auto record = eft::readEftRecord(dir_.file(eft::kEftFileName), 7);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->ecrPayType, 9);
    EXPECT_EQ(record->eftTerminal, 2);
    EXPECT_EQ(record->active, -1);

    CardPaymentDialog dialog(context());
    ASSERT_TRUE(dialog.create(nullptr));
    auto& frame = dialog.frame();
    frame.setText(CardPaymentDialog::PayNumber, "07");
    click(frame, CardPaymentDialog::Find);
    EXPECT_EQ(gui::win32::comboSelection(frame.item(CardPaymentDialog::RegisterPayment)), 3);
    EXPECT_EQ(gui::win32::comboSelection(frame.item(CardPaymentDialog::Terminal)), 2);
    EXPECT_TRUE(frame.checked(CardPaymentDialog::Active));
    // A number the field cannot hold writes nothing.
    frame.setText(CardPaymentDialog::PayNumber, "0");
    click(frame, CardPaymentDialog::DeleteRecord);
    EXPECT_TRUE(eft::readEftRecord(dir_.file(eft::kEftFileName), 7));
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST(TraceWindowLines, StartWithTheEmptyLineAndDropTheOldestBeyondTheLimit) {
    gui::win32::TraceWindowLines lines(3);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.at(0), L"");
    EXPECT_FALSE(lines.append(L"α"));
    EXPECT_FALSE(lines.append(L"β"));
    EXPECT_TRUE(lines.append(L"γ"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.at(0), L"α");
    EXPECT_EQ(lines.at(2), L"γ");
    lines.clear();
    EXPECT_EQ(lines.size(), 1u);
}

// Ten thousand lines in a real window: the list holds the newest ones with the last in view,
// a close from the frame tells the owner, and reopening starts empty.
TEST(TraceWindow, KeepsTheNewestLinesInViewAndStartsEmptyWhenReopened) {
    int closed = 0;
    gui::win32::TraceWindow trace([&closed] { ++closed; });
    trace.appendLine("before the window: not kept");
    trace.open(nullptr);
    ASSERT_TRUE(trace.isOpen());
    EXPECT_EQ(trace.lines(), std::vector<std::string>{""});
    const std::size_t limit = desktop::TraceBuffer::kMaxLines;
    for (std::size_t k = 1; k <= limit + 5; ++k) {
        trace.appendLine("41:0" + std::to_string(k % 10) + " send:[KXΚΑΦΕΣ " + std::to_string(k) +
                         "]");
    }
    gui::win32::serveWindowMessages();
    const auto lines = trace.lines();
    ASSERT_EQ(lines.size(), limit);
    EXPECT_EQ(lines.back(), "41:05 send:[KXΚΑΦΕΣ " + std::to_string(limit + 5) + "]");
    EXPECT_EQ(lines.front(), "41:06 send:[KXΚΑΦΕΣ 6]");
    HWND list = GetWindow(trace.handle(), GW_CHILD);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(limit));
    EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), static_cast<LRESULT>(limit - 200));

    SendMessageW(trace.handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(trace.isOpen());
    EXPECT_EQ(closed, 1);
    trace.open(nullptr);
    EXPECT_EQ(trace.lines(), std::vector<std::string>{""});
    trace.close();
    EXPECT_EQ(closed, 1);
}

TEST(CardWaitWindow, CountsFromItsShowingAndOnlyItsOwnerClosesIt) {
    int now = 86395;
    gui::win32::CardWaitWindow wait([&now] { return now; });
    wait.show(nullptr);
    ASSERT_TRUE(wait.isShown());
    wchar_t label[64] = {};
    HWND waitLabel = GetWindow(wait.handle(), GW_CHILD);
    GetWindowTextW(waitLabel, label, 64);
    EXPECT_STREQ(label, L"Αναμονή Απάντησης EFTPOS");
    now = 2;  // past midnight
    wait.tick();
    GetWindowTextW(waitLabel, label, 64);
    EXPECT_STREQ(label, L"Αναμονή EFTPOS [07]");
    SendMessageW(wait.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(wait.isShown());
    wait.hide();
    EXPECT_FALSE(wait.isShown());
}

// Every window can be made, filled and pictured, as the program's --screenshots asks.
TEST(DialogScreenshots, PictureEveryWindow) {
    TempDir dir;
    common::SystemClock clock;
    const auto written = gui::win32::screenshotDialogs(nullptr, dir.path, clock);
    ASSERT_EQ(written.size(), 6u);
    for (const auto& picture : written) {
        EXPECT_GT(std::filesystem::file_size(picture), 1000u) << picture.string();
    }
}

}  // namespace
}  // namespace merovan::testing
