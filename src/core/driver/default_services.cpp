#include "core/driver/default_services.h"

namespace merovan::driver {

JobRunner defaultJobRunner() {
    return [](const std::string&, const jobs::JobSettings&, jobs::JobContext&) {
        jobs::JobOutcome outcome;
        outcome.readable = false;
        outcome.error = "no interpreter";
        return outcome;
    };
}

ParamReader defaultParamReader() {
    return
        [](const std::string&, bool, std::string& error) -> std::optional<settings::ParamSettings> {
            error = "param.ini";
            return std::nullopt;
        };
}

}  // namespace merovan::driver
