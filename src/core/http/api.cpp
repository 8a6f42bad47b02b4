#include "core/http/api.h"

#include <charconv>

#include "core/common/codepage.h"
#include "core/common/text.h"
#include "core/http/job_answer.h"
#include "core/link/register_errors.h"

namespace merovan::http {
namespace {

using nlohmann::json;

constexpr std::size_t kMaxKeyLength = 200;

ApiResponse jsonResponse(int status, const json& body) {
    ApiResponse response;
    response.status = status;
    // A request's own bytes said back (a method, a path) need not be UTF-8.
    response.body = body.dump(-1, ' ', false, json::error_handler_t::replace);
    return response;
}

std::string header(const ApiRequest& request, const std::string& name) {
    const auto found = request.headers.find(name);
    return found == request.headers.end() ? std::string() : found->second;
}

// A key is printable ASCII: it is kept on a line of its own and said back in messages.
bool acceptableKey(const std::string& key) {
    if (key.empty() || key.size() > kMaxKeyLength) {
        return false;
    }
    for (const char c : key) {
        if (c < 0x20 || c > 0x7e) {
            return false;
        }
    }
    return true;
}

bool saysUtf8(const std::string& contentType) {
    const std::string type = common::toLower1253(contentType);
    return common::removeAll(type, ' ').find("charset=utf-8") != std::string::npos;
}

// UTF-8 to code page 1253, refusing what the code page cannot hold rather than printing '?'
// on a fiscal receipt; error says which character and where (1-based).
std::optional<std::string> strictCp1253(std::string_view utf8, std::string& error) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t position = 0;
    for (std::size_t at = 0; at < utf8.size(); ++position) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80       ? 1
                           : lead >> 5 == 6  ? 2
                           : lead >> 4 == 14 ? 3
                           : lead >> 3 == 30 ? 4
                                             : 0;
        if (length == 0 || at + length > utf8.size()) {
            error = "the body is not valid UTF-8 at byte " + std::to_string(at + 1);
            return std::nullopt;
        }
        char32_t character = length == 1 ? lead : lead & (0x7f >> length);
        for (int n = 1; n < length; ++n) {
            const auto next = static_cast<unsigned char>(utf8[at + n]);
            if (next >> 6 != 2) {
                error = "the body is not valid UTF-8 at byte " + std::to_string(at + n + 1);
                return std::nullopt;
            }
            character = (character << 6) | (next & 0x3f);
        }
        unsigned char byte = 0;
        if (!common::unicodeToCp1253(character, byte)) {
            std::string shown;
            common::appendUtf8(shown, character);
            error = "character " + std::to_string(position + 1) + " (\"" + shown +
                    "\") cannot be written in the register's code page 1253";
            return std::nullopt;
        }
        out += static_cast<char>(byte);
        at += length;
    }
    return out;
}

ApiResponse wrongMethod(const ApiRequest& request, const char* allowed) {
    ApiResponse response = errorResponse(405, "method-not-allowed",
                                         request.method + " is not allowed on " + request.path);
    response.headers.emplace_back("Allow", allowed);
    return response;
}

}  // namespace

ApiResponse errorResponse(int status, const std::string& error, const std::string& message) {
    return jsonResponse(status, {{"error", error}, {"message", message}});
}

bool sameSecret(const std::string& given, const std::string& expected) {
    unsigned char differs = given.size() == expected.size() ? 0 : 1;
    for (std::size_t n = 0; n < given.size(); ++n) {
        differs |= static_cast<unsigned char>(
            given[n] ^ expected[n % std::max<std::size_t>(expected.size(), 1)]);
    }
    return differs == 0 && !expected.empty();
}

bool Api::authorized(const ApiRequest& request) const {
    if (options_.token.empty()) {
        return true;
    }
    const std::string given = header(request, "authorization");
    constexpr std::string_view kScheme = "Bearer ";
    return given.starts_with(kScheme) && sameSecret(given.substr(kScheme.size()), options_.token);
}

ApiResponse Api::handle(const ApiRequest& request) const {
    ApiResponse response;
    // A browser's preflight carries no credentials; it only learns what may be asked.
    const bool preflight = request.method == "OPTIONS" && !options_.corsOrigin.empty();
    if (!preflight && !authorized(request)) {
        response = errorResponse(401, "unauthorized",
                                 "this address asks for the header Authorization: Bearer <token>");
        response.headers.emplace_back("WWW-Authenticate", "Bearer");
    } else {
        response = route(request);
    }
    if (!options_.corsOrigin.empty()) {
        response.headers.emplace_back("Access-Control-Allow-Origin", options_.corsOrigin);
        response.headers.emplace_back("Access-Control-Allow-Headers",
                                      "Authorization, Content-Type, Idempotency-Key");
        response.headers.emplace_back("Access-Control-Allow-Methods", "GET, POST, OPTIONS");
        response.headers.emplace_back("Vary", "Origin");
    }
    return response;
}

ApiResponse Api::route(const ApiRequest& request) const {
    const std::string& path = request.path;
    if (request.method == "OPTIONS" && !options_.corsOrigin.empty()) {
        return {.status = 204, .contentType = {}, .body = {}, .headers = {}};
    }
    const bool get = request.method == "GET" || request.method == "HEAD";
    const bool post = request.method == "POST";
    constexpr std::string_view kJobs = "/v1/jobs";
    constexpr std::string_view kReports = "/v1/reports/";
    if (path == kJobs) {
        return post ? postJob(request) : wrongMethod(request, "POST");
    }
    if (path.starts_with(kJobs) && path[kJobs.size()] == '/' && path.size() > kJobs.size() + 1) {
        return get ? getJob(path.substr(kJobs.size() + 1), request) : wrongMethod(request, "GET");
    }
    if (path == "/v1/status") {
        return get ? jsonResponse(200, services_.statusJson()) : wrongMethod(request, "GET");
    }
    if (path == "/metrics") {
        if (!get) {
            return wrongMethod(request, "GET");
        }
        ApiResponse response;
        response.contentType = "application/openmetrics-text; version=1.0.0; charset=utf-8";
        response.body = services_.metricsText();
        return response;
    }
    if (path == "/v1/clear-error") {
        return post ? runAction("clear-error", std::nullopt) : wrongMethod(request, "POST");
    }
    if (path.starts_with(kReports)) {
        const std::string name = path.substr(kReports.size());
        if (const auto report = supervision::reportNamed(name)) {
            return post ? runAction(name, report) : wrongMethod(request, "POST");
        }
    }
    return errorResponse(404, "not-found", "no such resource: " + common::cp1253ToUtf8(path));
}

ApiResponse Api::postJob(const ApiRequest& request) const {
    const std::string key = header(request, "idempotency-key");
    if (!acceptableKey(key)) {
        return errorResponse(400, "idempotency-key",
                             "the header Idempotency-Key is required: 1 to 200 printable "
                             "ASCII characters, the same for every retry of one job");
    }
    if (request.body.empty()) {
        return errorResponse(400, "empty-job", "the body must hold a job file");
    }
    std::string body = request.body;
    if (saysUtf8(header(request, "content-type"))) {
        std::string why;
        auto converted = strictCp1253(request.body, why);
        if (!converted) {
            return errorResponse(400, "unsupported-text", why);
        }
        body = std::move(*converted);
    }
    const auto submitted = services_.jobs.submit(key, body);
    using Outcome = driver::PostedJobs::Submitted::Outcome;
    switch (submitted.outcome) {
        case Outcome::Accepted:
            if (services_.jobPosted) {
                services_.jobPosted();
            }
            return jsonResponse(202, jobAnswer(*submitted.job));
        case Outcome::Repeated:
            return jsonResponse(200, jobAnswer(*submitted.job));
        case Outcome::Conflict:
            return errorResponse(409, "key-reused",
                                 "the Idempotency-Key was used before for another job (" +
                                     submitted.job->id + "); a new job needs a new key");
        case Outcome::Failed:
            break;
    }
    return errorResponse(500, "not-stored", "the job could not be stored: " + submitted.error);
}

ApiResponse Api::getJob(const std::string& id, const ApiRequest& request) const {
    std::optional<driver::PostedJobs::View> job;
    const auto wait = request.query.find("wait");
    if (wait != request.query.end()) {
        long long seconds = -1;
        const std::string& text = wait->second;
        const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (failed != std::errc() || end != text.data() + text.size() || seconds < 0) {
            return errorResponse(400, "bad-wait", "wait must be a whole number of seconds");
        }
        const auto capped = std::min<long long>(seconds, options_.maxWait.count());
        job = services_.jobs.awaitEnd(id, std::chrono::seconds(capped));
    } else {
        job = services_.jobs.find(id);
    }
    if (!job) {
        return errorResponse(404, "not-found", "no job " + common::cp1253ToUtf8(id));
    }
    return jsonResponse(200, jobAnswer(*job));
}

ApiResponse Api::runAction(const std::string& name, Action action) const {
    const auto status = services_.runAction ? services_.runAction(action) : std::nullopt;
    if (!status) {
        return errorResponse(
            409, "not-ready",
            "the register is not ready for " + name + ": it is being looked for or off-line");
    }
    json answer{{"action", name}, {"status", link::statusNumber(*status)}};
    if (*status == link::LinkStatus::Success) {
        answer["outcome"] = "done";
    } else if (const auto number = link::registerErrorNumber(*status)) {
        answer["outcome"] = "refused";
        json error{{"number", *number}};
        if (auto text = link::registerErrorText(std::to_string(*number))) {
            error["text"] = *text;
        }
        answer["registerError"] = error;
    } else {
        answer["outcome"] = "failed";
    }
    return jsonResponse(200, answer);
}

}  // namespace merovan::http
