#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The job file as text: its header keys and its lines. All texts are code page 1253 bytes.
namespace merovan::jobs {

// The value of the "resFile:" key, or "Result".
std::string findResultFile(std::string_view content);
// The value of the "resFile:" key, or none when the job names no result file.
std::optional<std::string> namedResultFile(std::string_view content);
// The value of the "tag:" key, or "Unknown".
std::string findJobTag(std::string_view content);

// The lines of a job: ended by CR LF or a lone LF; a last line without an end still counts.
std::vector<std::string_view> splitJobLines(std::string_view content);

}  // namespace merovan::jobs
