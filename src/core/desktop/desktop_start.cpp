#include "core/desktop/desktop_start.h"

#include <cstdio>

#include "core/common/codepage.h"
#include "core/settings/command_line.h"

namespace merovan::desktop {

DesktopStart readDesktopCommandLine(const std::string& line) {
    if (line.empty()) {
        return {};
    }
    const auto fields = settings::parseCommandLine(line);
    const auto parsed = settings::settingsFromCommandLine(fields);
    if (parsed.optionsTooShort) {
        return {std::nullopt, true};
    }
    return {driver::CommandLineJob{parsed.settings, fields[2], line}, false};
}

int sayFarewell(const std::function<void(const common::MessageBox&)>& showBox) {
    const std::string text = common::cp737ToUtf8(settings::farewellText());
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
    showBox(common::formatMessageBox(text, common::buttons::kInformation, std::string_view()));
    return driver::OptionsTooShort;
}

}  // namespace merovan::desktop
