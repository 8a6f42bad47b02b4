#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace merovan::monitoring {

// The status file and the lock of the driver that runs in workDir.
std::string statusFilePath(const std::string& workDir);
std::string statusLockPath(const std::string& workDir);

// Replaces the status file with text (a statusText) whole, so that a reader never sees half
// of it.
bool writeStatusFile(const std::string& path, const std::string& text, std::string& error);

// What the status file of workDir says, when a driver runs there and has written it; none
// when no driver runs there (no file, or the driver that wrote it has ended) or the file
// cannot be read as a status.
std::optional<nlohmann::json> readRunningStatus(const std::string& workDir);

// JSON text of a status; a text that is not UTF-8 is mended, never refused.
std::string statusText(const nlohmann::json& status);

}  // namespace merovan::monitoring
