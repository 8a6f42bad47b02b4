#pragma once

#include "gui/win32/windows_api.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/clock.h"
#include "core/desktop/data_files.h"
#include "gui/win32/message_boxes.h"

// The windows the main window opens. Each draws a form of the toolkit-free presenter and hands
// it the user's input; texts, rules and file access stay in the presenter.
namespace merovan::gui::win32 {

// What the dialogs share: the data files and how message boxes are shown.
struct DialogContext {
    desktop::DataFiles files;
    MessageBoxes& messages;
};

enum class SettingsOutcome {
    Closed,  // closed without saving: nothing was written
    Saved,   // param.ini and vats.dat written and the restart notice shown: the program ends
};

// The settings dialog, modal to owner (owner is disabled while it runs). The caller tells the
// presenter around it (settingsDialogShown(true) before, false after), so that no register
// traffic starts while settings change. Only a click or Alt+K on "Kαταχωρηση" saves: Enter in
// a field does nothing, Esc closes without saving.
SettingsOutcome runSettingsDialog(HWND owner, const DialogContext& context);

// The card-payment mapping dialog, modal to owner: the mapping is not read by a job while it
// is edited. Placed 250 twips right of and 500 twips below the owner's top-left corner.
void runCardPaymentDialog(HWND owner, const DialogContext& context);

// The about box, modal to owner. True when it was closed with OK: the main window is then
// shown (it may have been hidden in the tray).
bool showAboutBox(HWND owner, MessageBoxes& messages);

// The register trace window ("Επικοινωνία Ταμειακής"): modeless, just right of its owner,
// the newest line in view, the last desktop::TraceBuffer::kMaxLines lines kept. Appending
// draws only the new line, so it keeps up with a busy register.
class TraceWindow {
  public:
    // closed: the user closed the window from its frame (the caller then tells the presenter
    // setTraceShown(false)); not called by close().
    explicit TraceWindow(std::function<void()> closed);
    ~TraceWindow();
    TraceWindow(const TraceWindow&) = delete;
    TraceWindow& operator=(const TraceWindow&) = delete;

    // Opens the window empty beside owner with owner's icon; nothing when it is open already.
    void open(HWND owner);
    void close();
    bool isOpen() const;
    // Appends a line break and the line (UTF-8), as the presenter's buffer did.
    void appendLine(std::string_view line);
    // The lines shown, oldest first (the first one is the empty line before the first trace).
    std::vector<std::string> lines() const;
    HWND handle() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The card-payment waiting window ("Συναλλαγή EFTPOS"): modeless, on top, at the top-left of
// the screen, counting the seconds since it was shown. It has no close box: it goes away when
// the exchange ends.
class CardWaitWindow {
  public:
    // secondOfDay: the local time in seconds since midnight (none: the system's clock).
    explicit CardWaitWindow(std::function<int()> secondOfDay = {});
    ~CardWaitWindow();
    CardWaitWindow(const CardWaitWindow&) = delete;
    CardWaitWindow& operator=(const CardWaitWindow&) = delete;

    // Shows the window (owner's icon) and starts counting from 0.
    void show(HWND owner);
    void hide();
    bool isShown() const;
    // Shows the seconds counted so far, as the window does each second.
    void tick();
    HWND handle() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Renders each of the windows above off-line into dir (one PNG per window and state), filled
// with realistic values: the settings dialog loaded from a sample param.ini and vats.dat, the
// card-payment dialog, a trace with Greek lines, the about box, the waiting window. The sample
// files are written to dir/dialog-data. Returns the pictures written; an empty list when none
// could be.
std::vector<std::filesystem::path> screenshotDialogs(HWND owner, const std::filesystem::path& dir,
                                                     common::Clock& clock);

}  // namespace merovan::gui::win32
