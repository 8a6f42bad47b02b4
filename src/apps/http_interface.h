#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/common/result.h"
#include "core/driver/driver_loop.h"
#include "core/driver/posted_jobs.h"
#include "core/monitoring/driver_monitor.h"

namespace merovan::apps {

// The network interface as the programs run it: off unless --http or merovan.conf
// in the working directory names an address; refused at start when an address off this
// machine has no private token file.
class HttpInterface {
  public:
    virtual ~HttpInterface() = default;
    // Where posted jobs wait; the driver takes them from there.
    virtual driver::PostedJobs& postedJobs() = 0;
    // Serves the interface on the running driver until destroyed; status and metrics come
    // from the driver's monitor.
    virtual common::Result<void> start(driver::DriverLoop& loop,
                                       const monitoring::DriverMonitor& monitor) = 0;
};

// option: the --http value, which wins over merovan.conf's address. None when neither asks
// for the interface; an error that must stop the program.
common::Result<std::unique_ptr<HttpInterface>> prepareHttp(const std::string& option);

// The status of the driver running here, asked over the network interface when merovan.conf
// turns it on; none otherwise or when nobody answers.
std::optional<nlohmann::json> statusOverHttp();

}  // namespace merovan::apps
