#include "core/driver/default_services.h"

#include "core/settings/param_file.h"

namespace merovan::driver {

JobRunner defaultJobRunner() {
    return [](const std::string&, std::string_view content, const jobs::JobSettings& settings,
              jobs::JobContext& context) { return jobs::interpretJob(content, settings, context); };
}

ParamReader defaultParamReader() {
    return [](const std::string& path, bool polling,
              std::string& error) -> std::optional<settings::ParamSettings> {
        auto read = settings::readParamFile(
            path, polling ? settings::ParamReadMode::Polling : settings::ParamReadMode::Startup);
        if (!read.ok) {
            error = read.error;
            return std::nullopt;
        }
        return read.settings;
    };
}

}  // namespace merovan::driver
