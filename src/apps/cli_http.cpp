#include "apps/cli_http.h"

#include "core/http/driver_services.h"
#include "core/http/server.h"

namespace merovan::cli {
namespace {

const char* stateText(common::DriverState state) {
    switch (state) {
        case common::DriverState::Searching:
            return "searching";
        case common::DriverState::Ready:
            return "ready";
        case common::DriverState::Printing:
            return "printing";
        case common::DriverState::Stopped:
            return "stopped";
        case common::DriverState::Reporting:
            return "reporting";
        case common::DriverState::Offline:
            return "offline";
        case common::DriverState::OneJob:
            return "one-job";
    }
    return "searching";
}

}  // namespace

common::Result<std::optional<HttpSetup>> httpSetup(const std::string& option) {
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
    if (settings.port == 0) {
        return std::optional<HttpSetup>();
    }
    HttpSetup setup{settings, {}};
    if (!settings.tokenFile.empty() || !http::isLoopback(settings.address)) {
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
    return std::optional<HttpSetup>(setup);
}

struct HttpInterface::Parts {
    Parts(HttpSetup given, http::Api served)
        : setup(std::move(given)), api(std::move(served)), server(api) {}
    HttpSetup setup;
    http::Api api;
    http::HttpServer server;
};

HttpInterface::HttpInterface(const HttpSetup& setup, driver::DriverLoop& loop,
                             driver::PostedJobs& jobs, const LogOperator& op) {
    // A stand-in status until the driver has an observer of its own.
    auto status = [&op] {
        const auto state = op.driverState();
        return nlohmann::json{{"state", stateText(state)},
                              {"online", state != common::DriverState::Searching &&
                                             state != common::DriverState::Offline},
                              {"lastError", {{"number", 0}, {"text", ""}}},
                              {"jobsPrinted", op.jobsPrinted()},
                              {"queueLength", 0},
                              {"version", MEROVAN_VERSION},
                              {"caption", ""}};
    };
    auto metrics = [&op] {
        return "# TYPE merovan_jobs_printed counter\nmerovan_jobs_printed_total " +
               std::to_string(op.jobsPrinted()) + "\n# EOF\n";
    };
    http::ApiOptions options;
    options.token = setup.token;
    options.corsOrigin = setup.settings.corsOrigin;
    parts_ = std::make_unique<Parts>(
        setup, http::Api(http::driverServices(loop, jobs, status, metrics), options));
}

HttpInterface::~HttpInterface() = default;

common::Result<void> HttpInterface::start() {
    return parts_->server.start(parts_->setup.settings.address, parts_->setup.settings.port);
}

}  // namespace merovan::cli
