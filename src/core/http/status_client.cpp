#include "core/http/status_client.h"

#include <httplib.h>

#include "core/http/http_settings.h"

namespace merovan::http {

std::optional<nlohmann::json> statusOverHttp(const std::string& configPath,
                                             std::chrono::milliseconds timeout) {
    const auto settings = readHttpSettings(configPath);
    if (!settings || settings->port == 0) {
        return std::nullopt;
    }
    std::string host = settings->address;
    if (host == "0.0.0.0" || host == "::") {
        host = host == "::" ? "::1" : "127.0.0.1";
    }
    httplib::Headers headers;
    if (!settings->tokenFile.empty()) {
        const auto token = readTokenFile(settings->tokenFile);
        if (!token) {
            return std::nullopt;
        }
        headers.emplace("Authorization", "Bearer " + *token);
    }
    httplib::Client client(host, settings->port);
    client.set_connection_timeout(timeout);
    client.set_read_timeout(timeout);
    const auto answer = client.Get("/v1/status", headers);
    if (!answer || answer->status != 200) {
        return std::nullopt;
    }
    auto status = nlohmann::json::parse(answer->body, nullptr, false);
    if (status.is_discarded()) {
        return std::nullopt;
    }
    return status;
}

}  // namespace merovan::http
