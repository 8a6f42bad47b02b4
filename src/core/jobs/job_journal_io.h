#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace merovan::jobs {

// Appends the text to the file and waits until it is on disk, so that a journal line written
// before a job survives a power loss during the job. Returns false on any failure.
bool appendDurably(const std::string& path, const std::string& text);

// When the file was last written, in nanoseconds, as finely as the file system keeps it: a
// job rewritten within the same second must not look unchanged. None when it cannot be read.
std::optional<std::int64_t> lastWriteTime(const std::string& path);

// Replaces the file's content through a side file renamed over it, so that a crash leaves
// either the old or the new content.
bool replaceDurably(const std::string& path, const std::string& text);

}  // namespace merovan::jobs
