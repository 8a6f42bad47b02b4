#include "exchange_fixture.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/common/text.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kSetpriv = "/usr/bin/setpriv";

}  // namespace

std::optional<SystemUser> unprivilegedUser(const std::string& name) {
    if (::geteuid() != 0 || !fs::exists(kSetpriv)) {
        return std::nullopt;
    }
    if (::getpwnam(name.c_str()) == nullptr) {
        const std::string add = "useradd --system --no-create-home --shell /usr/sbin/nologin " +
                                name + " >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(add.c_str());
    }
    const passwd* entry = ::getpwnam(name.c_str());
    if (entry == nullptr || entry->pw_uid == 0) {
        return std::nullopt;
    }
    return SystemUser{name, entry->pw_uid, entry->pw_gid};
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::string receiptJob(const std::string& resultFile, const std::string& tag) {
    const std::string job = readFile(fs::path(MEROVAN_FIXTURES_DIR) / "cli" / "receipt.job");
    return common::replaceAll(common::replaceAll(job, "@RESULT@", resultFile), "@TAG@", tag);
}

void writeWhole(const fs::path& part, const fs::path& target, const std::string& content) {
    std::ofstream(part, std::ios::binary) << content;
    fs::rename(part, target);
}

void writeParamIni(const fs::path& dir, const std::string& port, const fs::path& location,
                   const std::string& baud, const std::string& extra) {
    std::ofstream(dir / "param.ini", std::ios::binary)
        << "[port] " << port << "\r\n[baud] " << baud << "\r\n[file] print\r\n[ecrt] vesko\r\n"
        << "[multi type] true\r\n[time] 0\r\n[print_desc] true\r\n"
        << extra << "[comments] true\r\n[currency]=0\r\n[keyb_off]=false\r\n[dir_depa]=false\r\n"
        << "[quantity]=false\r\n[location] " << (location / "").string() << "\r\n";
}

bool awaitResult(const fs::path& result, std::chrono::milliseconds timeout) {
    return eventually([&] { return readFile(result).find("exitcode = ") != std::string::npos; },
                      timeout);
}

void ExchangeFixture::SetUp() {
    if (!fs::exists(kCli) || !fs::exists(kRegister)) {
        GTEST_SKIP() << "merovan-cli or merovan-register not built";
    }
    // [location] takes 99 characters: a short name.
    base_ = fs::temp_directory_path() / ("merovan-x-" + std::to_string(::getpid()));
    fs::remove_all(base_);
    work_ = base_ / "work";
    exchange_ = base_ / "exchange";
    fs::create_directories(work_);
    fs::create_directories(exchange_);
    // Anybody may drop jobs, as in a directory shared with the POS users' group.
    fs::permissions(exchange_, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(base_, fs::perms(0755));
}

void ExchangeFixture::TearDown() {
    register_.reset();
    if (!HasFailure() && !base_.empty()) {
        fs::remove_all(base_);
    }
}

std::vector<std::string> ExchangeFixture::as(const std::optional<SystemUser>& user,
                                             std::vector<std::string> argv) const {
    if (user) {
        argv.insert(argv.begin(), {kSetpriv, "--reuid=" + std::to_string(user->uid),
                                   "--regid=" + std::to_string(user->gid), "--clear-groups", "--"});
    }
    return argv;
}

void ExchangeFixture::startRegister(const std::string& scenario) {
    std::ofstream(work_ / "scenario.txt") << scenario;
    if (service_) {
        ASSERT_EQ(::chown(work_.c_str(), service_->uid, service_->gid), 0) << work_;
    }
    register_.emplace(
        as(service_, {kRegister, "--pty", "--traffic", (work_ / "traffic.txt").string(),
                      "--scenario", (work_ / "scenario.txt").string()}),
        work_, "register");
    device_ = register_->firstLine(5s).value_or("");
    ASSERT_TRUE(device_.starts_with("/dev/")) << device_;
}

std::unique_ptr<ChildProcess> ExchangeFixture::startCli(std::vector<std::string> options) const {
    std::vector<std::string> argv{kCli, "--result-dir", exchange_.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    return std::make_unique<ChildProcess>(as(service_, argv), work_, "cli");
}

std::size_t ExchangeFixture::countInTraffic(const std::string& line) const {
    // Appended, not "\n" + text: GCC 12 warns wrongly about the latter.
    return countOf(std::string("\n").append(traffic()), std::string("\n").append(line) + '\n');
}

}  // namespace merovan::testing
