// The interface's parts without the driver: posted jobs kept across a restart, the request
// rules, and the server's connection limit with real sockets.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "core/http/api.h"
#include "core/http/http_settings.h"
#include "core/http/server.h"
#include "core/http/status_client.h"
#include "support/temp_dir.h"

namespace merovan::http {
namespace {

using merovan::testing::TempDir;
using merovan::testing::writeBytes;
using nlohmann::json;

class HttpParts : public ::testing::Test {
  protected:
    HttpParts() {
        std::string error;
        EXPECT_TRUE(jobs_->load(error)) << error;
    }

    Api api(const std::string& token = {}, const std::string& cors = {}) {
        ApiServices services{*jobs_,
                             [this] { ++posted_; },
                             {},
                             [] {
                                 return json{{"state", "ready"}};
                             },
                             [] { return "# EOF\n"; }};
        return Api(services,
                   {.token = token, .corsOrigin = cors, .maxWait = std::chrono::seconds(0)});
    }
    static ApiRequest post(const std::string& key, const std::string& body,
                           const std::string& type = "text/plain") {
        return {.method = "POST",
                .path = "/v1/jobs",
                .query = {},
                .headers = {{"idempotency-key", key}, {"content-type", type}},
                .body = body};
    }

    TempDir dir_;
    std::unique_ptr<driver::PostedJobs> jobs_ =
        std::make_unique<driver::PostedJobs>(dir_.file("posted"));
    int posted_ = 0;
};

TEST_F(HttpParts, AKeyKeepsItsJobAcrossARestart) {
    const std::string job = "tag A\r\n";
    // A job file whose key was never written was never accepted: the key takes another body.
    writeBytes(dir_.file("posted/" + driver::PostedJobs::idOfKey("k") + ".job"), "half");
    const auto first = api().handle(post("k", job));
    EXPECT_EQ(first.status, 202);
    EXPECT_EQ(posted_, 1);
    const std::string id = json::parse(first.body)["id"];

    jobs_ = std::make_unique<driver::PostedJobs>(dir_.file("posted"));
    std::string error;
    ASSERT_TRUE(jobs_->load(error));
    EXPECT_EQ(jobs_->nextJobPath(), dir_.file("posted/" + id + ".job"));
    jobs_->started(*jobs_->nextJobPath(), dir_.file("result.txt"));
    writeBytes(dir_.file("result.txt"), "exitcode = 0\r\n");
    jobs_->finished(dir_.file("posted/" + id + ".job"), 0);

    const auto again = api().handle(post("k", job));
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(json::parse(again.body)["state"], "done");
    EXPECT_EQ(api().handle(post("k", "tag B\r\n")).status, 409);
    EXPECT_EQ(posted_, 1);
    EXPECT_FALSE(jobs_->nextJobPath());
    const auto answer = api().handle({.method = "GET",
                                      .path = "/v1/jobs/" + id,
                                      .query = {{"wait", "5"}},
                                      .headers = {},
                                      .body = {}});
    EXPECT_EQ(json::parse(answer.body)["resultLines"], json({"exitcode = 0"}));
}

TEST_F(HttpParts, RequestsAreCheckedBeforeAnythingIsKept) {
    // UTF-8 is converted when the request says so; what code page 1253 lacks is refused.
    const auto greek = api().handle(post("g", "com \xce\xb1\r\n", "text/plain; Charset=UTF-8"));
    EXPECT_EQ(greek.status, 202);
    EXPECT_EQ(api().handle(post("h", "com \xe2\x98\x83\r\n", "text/plain; charset=utf-8")).status,
              400);
    EXPECT_EQ(api().handle(post("i", "com \xce\r\n", "text/plain; charset=utf-8")).status, 400);
    EXPECT_EQ(api().handle(post(std::string(201, 'k'), "x")).status, 400);
    EXPECT_EQ(api().handle(post("line\nbreak", "x")).status, 400);
    EXPECT_EQ(api().handle(post("j", "")).status, 400);
    EXPECT_EQ(posted_, 1);

    // A token, when asked for, must match exactly; CORS headers only when configured.
    ApiRequest status{
        .method = "GET", .path = "/v1/status", .query = {}, .headers = {}, .body = {}};
    EXPECT_EQ(api("0123456789abcdef").handle(status).status, 401);
    status.headers["authorization"] = "Bearer 0123456789abcdeg";
    EXPECT_EQ(api("0123456789abcdef").handle(status).status, 401);
    status.headers["authorization"] = "Bearer 0123456789abcdef";
    const auto allowed = api("0123456789abcdef").handle(status);
    EXPECT_EQ(allowed.status, 200);
    EXPECT_TRUE(allowed.headers.empty());
    EXPECT_EQ(api({}, "https://pos").handle(status).headers.front().second, "https://pos");
    const ApiRequest preflight{
        .method = "OPTIONS", .path = "/v1/jobs", .query = {}, .headers = {}, .body = {}};
    EXPECT_EQ(api("0123456789abcdef", "https://pos").handle(preflight).status, 204);
    EXPECT_EQ(api("0123456789abcdef").handle(preflight).status, 401);
}

TEST(HttpSettingsFile, TokenFilesOthersMayReadAreRefused) {
    const TempDir dir;
    writeBytes(dir.file("merovan.conf"), "# interface\r\nhttp = [::1]:8080\r\ncors-origin = x\r\n");
    const auto read = readHttpSettings(dir.file("merovan.conf"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->address, "::1");
    EXPECT_EQ(read->port, 8080);
    writeBytes(dir.file("bad.conf"), "http = 127.0.0.1:99999\r\n");
    EXPECT_FALSE(readHttpSettings(dir.file("bad.conf")));

    writeBytes(dir.file("token"), "a-token-of-twenty-chars\n");
    ::chmod(dir.file("token").c_str(), 0640);
    EXPECT_FALSE(readTokenFile(dir.file("token")));
    ::chmod(dir.file("token").c_str(), 0600);
    EXPECT_EQ(readTokenFile(dir.file("token")).value(), "a-token-of-twenty-chars");
    EXPECT_FALSE(readTokenFile(dir.file("missing")));
}

TEST_F(HttpParts, AConnectionBeyondTheLimitGetsServiceUnavailable) {
    const Api served = api();
    HttpServer server(served, {.workers = 1, .waiting = 0});
    ASSERT_TRUE(server.start("127.0.0.1", 0));
    const auto connect = [&] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(server.port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    };
    // A client that says nothing holds the one worker until it times out.
    const int idle = connect();
    httplib::Client client("127.0.0.1", server.port());
    const auto refused = client.Get("/v1/status");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_EQ(json::parse(refused->body)["error"], "too-many-connections");
    ::close(idle);
}

TEST_F(HttpParts, StatusIsAskedWhereMerovanConfSaysTheDriverListens) {
    const Api served = api();
    HttpServer server(served);
    ASSERT_TRUE(server.start("127.0.0.1", 0));
    writeBytes(dir_.file("merovan.conf"), "http = 0.0.0.0:" + std::to_string(server.port()) + "\n");
    const auto status = statusOverHttp(dir_.file("merovan.conf"));
    ASSERT_TRUE(status);
    EXPECT_EQ((*status)["state"], "ready");
    EXPECT_FALSE(statusOverHttp(dir_.file("none.conf")));
}

}  // namespace
}  // namespace merovan::http
