#include "apps/http_interface.h"

#include <optional>

#include "core/http/http_settings.h"

#include "core/http/driver_services.h"
#include "core/http/server.h"
#include "core/http/status_client.h"

namespace merovan::apps {
namespace {

// Where posted jobs are kept, in the working directory.
constexpr const char* kPostedJobsDir = "posted";

struct HttpSetup {
    http::HttpSettings settings;
    std::string token;  // empty on loopback
};

common::Result<HttpSetup> readSetup(const std::string& option) {
    auto fromFile = http::readHttpSettings(http::kConfigFileName);
    if (!fromFile) {
        return fromFile.error();
    }
    http::HttpSettings settings = *fromFile;
    if (!option.empty()) {
        const auto given = http::parseListenAddress(option);
        if (!given) {
            return common::Error{"--http " + given.error().what};
        }
        settings.address = given->address;
        settings.port = given->port;
    }
    HttpSetup setup{settings, {}};
    if (settings.port != 0 &&
        (!settings.tokenFile.empty() || !http::isLoopback(settings.address))) {
        if (settings.tokenFile.empty()) {
            return common::Error{"the network interface on " + settings.address +
                                 " needs token-file = PATH in merovan.conf (a file only the "
                                 "service user may read); only 127.0.0.1 goes without one"};
        }
        auto token = http::readTokenFile(settings.tokenFile);
        if (!token) {
            return token.error();
        }
        setup.token = *token;
    }
    return setup;
}

class PosixHttpInterface final : public HttpInterface {
  public:
    explicit PosixHttpInterface(HttpSetup setup)
        : setup_(std::move(setup)), jobs_(kPostedJobsDir) {}

    driver::PostedJobs& postedJobs() override { return jobs_; }

    common::Result<void> start(driver::DriverLoop& loop,
                               const monitoring::DriverMonitor& monitor) override {
        auto status = [&monitor] { return monitor.statusJson(); };
        auto metrics = [&monitor] { return monitor.openMetricsText(); };
        http::ApiOptions options;
        options.token = setup_.token;
        options.corsOrigin = setup_.settings.corsOrigin;
        api_.emplace(http::driverServices(loop, jobs_, status, metrics), options);
        server_.emplace(*api_);
        return server_->start(setup_.settings.address, setup_.settings.port);
    }

  private:
    HttpSetup setup_;
    driver::PostedJobs jobs_;
    std::optional<http::Api> api_;
    std::optional<http::HttpServer> server_;
};

}  // namespace

common::Result<std::unique_ptr<HttpInterface>> prepareHttp(const std::string& option) {
    auto setup = readSetup(option);
    if (!setup) {
        return setup.error();
    }
    if (setup->settings.port == 0) {
        return std::unique_ptr<HttpInterface>();
    }
    auto web = std::make_unique<PosixHttpInterface>(*setup);
    if (std::string error; !web->postedJobs().load(error)) {
        return common::Error{"posted jobs: " + error};
    }
    return std::unique_ptr<HttpInterface>(std::move(web));
}

}  // namespace merovan::apps

namespace merovan::apps {

std::optional<nlohmann::json> statusOverHttp() {
    return http::statusOverHttp(http::kConfigFileName);
}

}  // namespace merovan::apps
