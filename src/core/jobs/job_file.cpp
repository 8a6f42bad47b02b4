#include "core/jobs/job_file.h"

#include <algorithm>

namespace merovan::jobs {
namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// A header value starts two characters after the key's colon and runs to the end of its
// line, or to the first control character before it: a CR inside a tag must not put lines of
// its own into the result file, nor a result path carry one. A key with no line end after it
// is not taken, nor is an empty value: either would leave the job without a usable result
// file.
std::string findHeaderValue(std::string_view content, std::string_view key,
                            std::string_view fallback) {
    const auto keyAt = content.find(key);
    if (keyAt == std::string_view::npos) {
        return std::string(fallback);
    }
    const auto lineEnd = content.find('\n', keyAt + key.size());
    if (lineEnd == std::string_view::npos) {
        return std::string(fallback);
    }
    auto value = content.substr(keyAt + key.size(), lineEnd - keyAt - key.size());
    value.remove_prefix(std::min<std::size_t>(2, value.size()));
    value = value.substr(
        0, static_cast<std::size_t>(std::ranges::find_if(value, isControl) - value.begin()));
    return value.empty() ? std::string(fallback) : std::string(value);
}

}  // namespace

std::string findResultFile(std::string_view content) {
    return findHeaderValue(content, "resFile:", "Result");
}

std::optional<std::string> namedResultFile(std::string_view content) {
    std::string value = findHeaderValue(content, "resFile:", "");
    return value.empty() ? std::nullopt : std::optional(std::move(value));
}

std::string findJobTag(std::string_view content) {
    return findHeaderValue(content, "tag:", "Unknown");
}

std::vector<std::string_view> splitJobLines(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        auto line = content.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace merovan::jobs
