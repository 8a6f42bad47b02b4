#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>

namespace merovan::cli {

// Exit statuses of --status.
enum StatusExit {
    RegisterOnline = 0,
    RegisterOffline = 1,
    DriverNotRunning = 2,
};

// Asks the driver running here how it is; none when no driver runs.
using StatusSource = std::function<std::optional<nlohmann::json>()>;

// The status file of the driver running in the working directory.
std::optional<nlohmann::json> statusFromFile();

// --status: prints the state, the register's link, the last error and the waiting jobs (or,
// with json, the status as the driver gave it) and returns a StatusExit.
int printStatus(const StatusSource& source, bool json);

}  // namespace merovan::cli
