#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Where a path chosen by somebody else really leads.
namespace merovan::jobs {

// The path made absolute against the working directory, with "." and ".." and every symbolic
// link resolved, a link to a file that does not exist yet too; none when it cannot be resolved
// (a loop of links, a directory we may not look into).
std::optional<std::filesystem::path> resolvedPath(const std::string& path);

// Whether file lies in directory or below it (both resolved); the directory itself does not.
bool isWithinDirectory(const std::filesystem::path& file, const std::filesystem::path& directory);

// Whether a job file may be read: a regular file, or a symbolic link whose target is a regular
// file inside the exchange directory (empty: the working directory). A link to a file
// elsewhere would let whoever may drop jobs have the driver read what only it may read. When
// not, why says so in plain words (code page 1253, naming the file); it stays empty for a
// missing file, which is no news.
bool isAcceptableJobPath(const std::string& path, const std::string& exchangeDir, std::string& why);

}  // namespace merovan::jobs
