#pragma once

#include <chrono>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace merovan::http {

// Asks a running driver for GET /v1/status, as merovan.conf at configPath says it listens
// (an address for every interface is asked on loopback; a token file is read for the token).
// None when the file does not turn the interface on, or nobody answered in time with JSON.
std::optional<nlohmann::json> statusOverHttp(
    const std::string& configPath,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

}  // namespace merovan::http
