// Arbitrary requests through the HTTP interface's handlers (the library's own parser is not
// ours to test): a request line, header lines, a blank line and a body, split here plainly.
// Every answer has a status the interface documents and, when it says JSON, is JSON; a
// refusal carries "error" and "message"; a posted job is kept under its key.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "core/http/api.h"

namespace {

namespace fs = std::filesystem;
using namespace merovan;

struct Place {
    fs::path spool = fs::temp_directory_path() / ("fuzz_http_api." + std::to_string(getpid()));
    driver::PostedJobs jobs{spool.string()};
    Place() {
        fs::remove_all(spool);
        std::string error;
        if (!jobs.load(error)) {
            std::abort();
        }
    }
    ~Place() { fs::remove_all(spool); }
};

std::string_view takeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

http::ApiRequest requestOf(std::string_view text) {
    http::ApiRequest request;
    std::string_view first = takeLine(text);
    const std::size_t blank = first.find(' ');
    request.method = std::string(first.substr(0, blank));
    std::string_view target = blank == std::string_view::npos ? "" : first.substr(blank + 1);
    const std::size_t question = target.find('?');
    request.path = std::string(target.substr(0, question));
    if (question != std::string_view::npos) {
        std::string_view query = target.substr(question + 1);
        while (!query.empty()) {
            const std::size_t amp = query.find('&');
            const std::string_view pair = query.substr(0, amp);
            const std::size_t equals = pair.find('=');
            request.query[std::string(pair.substr(0, equals))] =
                equals == std::string_view::npos ? "" : std::string(pair.substr(equals + 1));
            query.remove_prefix(amp == std::string_view::npos ? query.size() : amp + 1);
        }
    }
    for (std::string_view line = takeLine(text); !line.empty(); line = takeLine(text)) {
        const std::size_t colon = line.find(':');
        request.headers[std::string(line.substr(0, colon))] =
            colon == std::string_view::npos ? "" : std::string(line.substr(colon + 1));
    }
    request.body = std::string(text);
    return request;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Place place;
    if (size == 0) {
        return 0;
    }
    const bool withToken = (data[0] & 1U) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    http::ApiServices services{place.jobs, [] {},
                               [withToken](http::Action) -> std::optional<link::LinkStatus> {
                                   if (withToken) {
                                       return std::nullopt;
                                   }
                                   return link::registerError(7);
                               },
                               [] {
                                   return nlohmann::json{{"state", "ready"}};
                               },
                               [] { return std::string("# EOF\n"); }};
    http::ApiOptions options;
    options.token = withToken ? "a-token-of-sixteen" : "";
    options.corsOrigin = withToken ? "" : "https://pos.example";
    options.maxWait = std::chrono::seconds(0);
    const http::Api api(services, options);

    const http::ApiRequest request = requestOf(text);
    const http::ApiResponse response = api.handle(request);
    static const std::set<int> kDocumented{200, 202, 204, 400, 401, 404, 405, 409, 500};
    if (!kDocumented.contains(response.status)) {
        std::abort();
    }
    if (response.contentType == "application/json") {
        const auto body = nlohmann::json::parse(response.body, nullptr, false);
        if (body.is_discarded() ||
            (response.status >= 400 && !(body.contains("error") && body.contains("message")))) {
            std::abort();
        }
        // An accepted job is found again under the id it was given.
        if (response.status == 202 && !place.jobs.find(body.value("id", ""))) {
            std::abort();
        }
    }
    return 0;
}
