#include "core/jobs/job_files.h"

#include <algorithm>
#include <filesystem>

namespace merovan::jobs {

JobPlace jobPlace(const std::string& location, const std::string& file) {
    const std::string whole = location + file;
    const auto slash = whole.find_last_of("/\\");
    if (slash == std::string::npos) {
        return {"", whole};
    }
    return {whole.substr(0, slash + 1), whole.substr(slash + 1)};
}

bool matchesPattern(const std::string& name, const std::string& pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool mayBeJobName(const std::string& name, const JobPlace& place) {
    if (place.name.find('*') != std::string::npos) {
        return matchesPattern(name, place.name);
    }
    if (name == place.name) {
        return true;
    }
    for (int n = 1; n <= 10; ++n) {
        if (name == place.name + "." + std::to_string(n)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> numberedJobCandidates(const std::string& location,
                                               const std::string& file) {
    std::vector<std::string> candidates;
    if (file.find('*') == std::string::npos) {
        for (int n = 1; n <= 10; ++n) {
            candidates.push_back(location + file + "." + std::to_string(n));
        }
        return candidates;
    }
    const JobPlace place = jobPlace(location, file);
    std::error_code error;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator
             it(place.directory.empty() ? "." : place.directory, error),
         end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (matchesPattern(name, place.name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        candidates.push_back(place.directory + name);
    }
    return candidates;
}

std::optional<std::string> findNumberedJob(
    const std::string& location, const std::string& file,
    const std::function<bool(const std::string&)>& isReady,
    const std::function<bool(const std::string&)>& isProcessed) {
    const bool patterns = file.find('*') != std::string::npos;
    for (const auto& candidate : numberedJobCandidates(location, file)) {
        if (isProcessed(candidate)) {
            continue;
        }
        if (isReady(candidate)) {
            return candidate;
        }
        // With a pattern only the first remaining entry may be the job.
        if (patterns) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace merovan::jobs
