#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace merovan::jobs {

// Where the job files of one setting lie: location + file, split into the directory to look in
// and the name (or "*" pattern) within it. Both '/' and '\' separate directories.
struct JobPlace {
    std::string directory;  // empty: the working directory
    std::string name;
};
JobPlace jobPlace(const std::string& location, const std::string& file);

// '*' matches any run of characters, '?' any one character.
bool matchesPattern(const std::string& name, const std::string& pattern);

// Whether a file of this name in the job directory may be a job of this setting; a directory
// change that concerns no such name needs no poll.
bool mayBeJobName(const std::string& name, const JobPlace& place);

// Numbered mode: the paths a job may have, in the order they are taken. Without "*":
// location + file + ".1" ... ".10", whether they exist or not; with "*": the entries of the
// directory that match, in name order.
std::vector<std::string> numberedJobCandidates(const std::string& location,
                                               const std::string& file);

// Numbered mode. A candidate that isProcessed accepts is passed over, so a printed job that the
// POS has not deleted yet does not hold up the next one. Without "*": the first of
// location + file + ".1" ... ".10" that isReady accepts. With "*": the first remaining entry
// that matches (in name order); it is the job when isReady accepts it, else there is none.
std::optional<std::string> findNumberedJob(
    const std::string& location, const std::string& file,
    const std::function<bool(const std::string&)>& isReady,
    const std::function<bool(const std::string&)>& isProcessed);

}  // namespace merovan::jobs
