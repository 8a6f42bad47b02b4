#pragma once

#include <memory>
#include <optional>
#include <string>

#include "apps/cli_operator.h"
#include "core/common/result.h"
#include "core/driver/driver_loop.h"
#include "core/http/http_settings.h"

namespace merovan::cli {

// The network interface as the headless program runs it: off unless --http or merovan.conf
// names an address, refused at start when an address off this machine has no private token.
struct HttpSetup {
    http::HttpSettings settings;
    std::string token;  // empty on loopback
};

// option: the --http value, which wins over merovan.conf in the working directory. None when
// neither asks for the interface; an error that must stop the program.
common::Result<std::optional<HttpSetup>> httpSetup(const std::string& option);

// Serves the interface while it lives.
class HttpInterface {
  public:
    HttpInterface(const HttpSetup& setup, driver::DriverLoop& loop, driver::PostedJobs& jobs,
                  const LogOperator& op);
    ~HttpInterface();
    HttpInterface(const HttpInterface&) = delete;
    HttpInterface& operator=(const HttpInterface&) = delete;

    common::Result<void> start();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Where posted jobs are kept, in the working directory.
inline constexpr const char* kPostedJobsDir = "posted";

}  // namespace merovan::cli
