#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "gui/win32/dpi.h"
#include "gui/win32/tray_icon.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/win32_view_thread.h"

namespace merovan::testing {
namespace {

using gui::win32::toUtf8;
using gui::win32::toWide;

TEST(WideText, GreekSurvivesTheRoundTrip) {
    const std::string greek = "Έναρξη Εκτύπωσης · Ρυθμίσεις ΐΰ";
    const std::wstring wide = toWide(greek);
    EXPECT_EQ(wide, L"Έναρξη Εκτύπωσης · Ρυθμίσεις ΐΰ");
    EXPECT_EQ(toUtf8(wide), greek);
    // A character outside the basic plane takes two UTF-16 units and comes back whole.
    EXPECT_EQ(toUtf8(toWide("\xF0\x9F\x96\xA8")), "\xF0\x9F\x96\xA8");
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toUtf8(L""), "");
}

// Bytes of a job or a register reply that reach a window unconverted must not cut the text
// or crash: each bad sequence shows as U+FFFD and the rest stays.
TEST(WideText, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(toWide("a\xFF"
                     "b"),
              L"a\uFFFDb");
    EXPECT_EQ(toWide("Τ\xC1"), L"Τ\uFFFD");  // cut in the middle of a character
    EXPECT_EQ(toWide(std::string("x\0y", 3)), std::wstring(L"x\0y", 3));  // NUL is kept
}

TEST(Dpi, TwipsBecomePixelsAtTheWindowsDpiRounded) {
    using gui::win32::twipsToPixels;
    EXPECT_EQ(twipsToPixels(6645, 96), 443);
    EXPECT_EQ(twipsToPixels(6645, 120), 554);  // 553.75
    EXPECT_EQ(twipsToPixels(6645, 144), 665);  // 664.5
    EXPECT_EQ(twipsToPixels(7, 96), 0);
    EXPECT_EQ(twipsToPixels(8, 96), 1);
    EXPECT_EQ(twipsToPixels(-8, 96), -1);
    EXPECT_EQ(gui::win32::scaleToDpi(11, 192), 22);
}

// The tip holds 63 characters and its NUL; a longer caption is cut, never between the two
// halves of a character outside the basic plane.
TEST(TrayTip, TheCaptionIsCutToTheTipNeverInsideAPair) {
    using gui::win32::trayTip;
    EXPECT_EQ(trayTip("Merovan- Έτοιμο"), L"Merovan- Έτοιμο");
    std::string greek;
    for (int letter = 0; letter < 70; ++letter) {
        greek += "Ω";
    }
    EXPECT_EQ(trayTip(greek), std::wstring(63, L'Ω'));
    const std::string pairAtTheEnd = std::string(62, 'x') + "\xF0\x9F\x96\xA8";
    EXPECT_EQ(trayTip(pairAtTheEnd), std::wstring(62, L'x'));
}

class RecordingBoxes final : public gui::win32::MessageBoxes {
  public:
    int show(HWND, const common::MessageBox& box) override {
        thread = GetCurrentThreadId();
        texts.push_back(box.text);
        return 6;  // Yes
    }
    std::atomic<DWORD> thread{0};
    std::vector<std::string> texts;
};

// Serves the test thread's window messages until done, as the program's message loop would.
bool serveUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < limit) {
        gui::win32::serveWindowMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

TEST(ViewThread, CallsFromTheDriversThreadRunOnTheWindowThreadInOrder) {
    RecordingBoxes boxes;
    gui::win32::Win32ViewThread view(boxes);
    const DWORD windowThread = GetCurrentThreadId();
    std::vector<int> order;
    std::vector<DWORD> threads;
    std::atomic<bool> posted{false};
    std::thread driver([&] {
        for (int call = 0; call < 100; ++call) {
            view.post([&, call] {
                order.push_back(call);
                threads.push_back(GetCurrentThreadId());
            });
        }
        posted = true;
    });
    ASSERT_TRUE(serveUntil([&] { return posted && order.size() == 100; }));
    driver.join();
    for (int call = 0; call < 100; ++call) {
        EXPECT_EQ(order[call], call);
        EXPECT_EQ(threads[call], windowThread);
    }
    // On the window thread itself a call runs at once.
    bool ran = false;
    view.post([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(ViewThread, AMessageBoxIsShownOnTheWindowThreadWhileTheDriverWaits) {
    RecordingBoxes boxes;
    gui::win32::Win32ViewThread view(boxes);
    std::atomic<int> answer{0};
    std::atomic<bool> before{false};
    std::thread driver([&] {
        view.post([&] { before = true; });
        answer = view.ask({"Χαρτί;", 4, "Merovan4_KVT"});
    });
    ASSERT_TRUE(serveUntil([&] { return answer != 0; }));
    driver.join();
    EXPECT_TRUE(before);  // what was posted before the box went first
    EXPECT_EQ(answer, 6);
    EXPECT_EQ(boxes.thread, GetCurrentThreadId());
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"Χαρτί;"});
}

}  // namespace
}  // namespace merovan::testing
