// Arbitrary bytes as a param.ini (both reads) and as a command line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings/command_line.h"
#include "core/settings/param_file.h"

using namespace merovan::settings;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const ParamSettings startup = parseParamText(bytes, ParamReadMode::Startup);
    const ParamSettings polling = parseParamText(bytes, ParamReadMode::Polling);
    if (startup.port.size() > 15 || startup.location.size() > 99 || polling.port.size() > 20 ||
        polling.baud.size() > 6 || polling.linkAddress != polling.port || polling.autoStart) {
        std::abort();
    }

    const CommandLineFields fields = parseCommandLine(bytes);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].empty() ||
            (i + 1 < fields.size() && fields[i].find_first_of(", ") != std::string::npos)) {
            std::abort();
        }
    }
    const CommandLineSettings settings = settingsFromCommandLine(fields);
    if (settings.optionsTooShort != (fields[5].size() < 7)) {
        std::abort();
    }
    return 0;
}
