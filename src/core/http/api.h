#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/driver/posted_jobs.h"
#include "core/link/link_status.h"
#include "core/supervision/reports.h"

// The network interface's requests and answers, without any socket: what the server hands in
// and writes back, and what a fuzz target or a test calls directly.
namespace merovan::http {

struct ApiRequest {
    std::string method;
    std::string path;  // without the query
    std::map<std::string, std::string> query;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
};

struct ApiResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// An action queued like the operator's menu items: a report, or the error clear (none).
using Action = std::optional<supervision::Report>;

struct ApiServices {
    driver::PostedJobs& jobs;
    // A job was accepted: the driver looks for it at once.
    std::function<void()> jobPosted;
    // Runs the action in the driver's queue and answers its exchange status; none when the
    // register is not ready for it.
    std::function<std::optional<link::LinkStatus>(Action)> runAction;
    std::function<nlohmann::json()> statusJson;
    std::function<std::string()> metricsText;
};

struct ApiOptions {
    std::string token;       // empty: no token asked for (loopback)
    std::string corsOrigin;  // empty: no CORS headers
    std::chrono::seconds maxWait{60};
};

// The answer of the error kind ("not-found") with a message in plain words.
ApiResponse errorResponse(int status, const std::string& error, const std::string& message);

class Api {
  public:
    Api(ApiServices services, ApiOptions options)
        : services_(std::move(services)), options_(std::move(options)) {}

    ApiResponse handle(const ApiRequest& request) const;

  private:
    ApiResponse route(const ApiRequest& request) const;
    ApiResponse postJob(const ApiRequest& request) const;
    ApiResponse getJob(const std::string& id, const ApiRequest& request) const;
    ApiResponse runAction(const std::string& name, Action action) const;
    bool authorized(const ApiRequest& request) const;

    ApiServices services_;
    ApiOptions options_;
};

// Whether two texts are equal, in a time that does not tell how much of them matched.
bool sameSecret(const std::string& given, const std::string& expected);

}  // namespace merovan::http
