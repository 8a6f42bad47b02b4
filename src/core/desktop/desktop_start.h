#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/common/message_box.h"
#include "core/driver/driver.h"

namespace merovan::desktop {

// Exit status when param.ini is missing or unreadable, as for the headless program.
inline constexpr int kCannotStart = 5;

// What the desktop program was started for: the one job of a POS program's six fields, a
// farewell to a too short option string, or (neither) the normal start that waits for jobs.
struct DesktopStart {
    std::optional<driver::CommandLineJob> job;
    bool optionsTooShort = false;
};

// line: the program's arguments joined by blanks, as the POS program passed them.
DesktopStart readDesktopCommandLine(const std::string& line);

// Says the farewell on standard output, where a POS program that started us may read it, and
// in a message box (a desktop user never sees standard output), and returns the exit status
// that goes with it.
int sayFarewell(const std::function<void(const common::MessageBox&)>& showBox);

}  // namespace merovan::desktop
