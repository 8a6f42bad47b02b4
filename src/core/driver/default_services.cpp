#include "core/driver/default_services.h"

namespace merovan::driver {

JobRunner defaultJobRunner() {
    return [](const std::string&, std::string_view content, const jobs::JobSettings& settings,
              jobs::JobContext& context) { return jobs::interpretJob(content, settings, context); };
}

}  // namespace merovan::driver
