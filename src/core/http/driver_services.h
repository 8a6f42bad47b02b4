#pragma once

#include "core/driver/driver_loop.h"
#include "core/http/api.h"

namespace merovan::http {

// The interface's services on the running driver: a posted job wakes the driver's queue, an
// action runs in it between two jobs. status and metrics are the program's.
ApiServices driverServices(driver::DriverLoop& loop, driver::PostedJobs& jobs,
                           std::function<nlohmann::json()> statusJson,
                           std::function<std::string()> metricsText);

}  // namespace merovan::http
