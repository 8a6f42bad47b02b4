#include "exchange_fixture.h"

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/common/text.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kSetpriv = "/usr/bin/setpriv";

std::string program(const std::string& name) {
    return (fs::path(MEROVAN_BINARY_DIR) / "src" / "apps" / name).string();
}

void giveTo(const SystemUser& user, const fs::path& path) {
    ASSERT_EQ(::chown(path.c_str(), user.uid, user.gid), 0) << path;
}

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

void ExchangeFixture::SetUp() {
    if (!fs::exists(program("merovan-cli")) || !fs::exists(program("merovan-register"))) {
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
    fs::permissions(base_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
}

void ExchangeFixture::TearDown() {
    register_.reset();
    if (!HasFailure() && !base_.empty()) {
        fs::remove_all(base_);
    }
}

std::vector<std::string> ExchangeFixture::as(const std::optional<SystemUser>& user,
                                             std::vector<std::string> argv) const {
    if (!user) {
        return argv;
    }
    std::vector<std::string> wrapped{kSetpriv, "--reuid=" + std::to_string(user->uid),
                                     "--regid=" + std::to_string(user->gid), "--clear-groups",
                                     "--"};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

void ExchangeFixture::startRegister(const std::string& scenario) {
    std::ofstream(work_ / "scenario.txt") << scenario;
    if (service_) {
        giveTo(*service_, work_);
    }
    register_.emplace(as(service_, {program("merovan-register"), "--pty", "--traffic",
                                    (work_ / "traffic.txt").string(), "--scenario",
                                    (work_ / "scenario.txt").string()}),
                      work_, "register");
    device_ = register_->firstLine(5s).value_or("");
    ASSERT_TRUE(device_.starts_with("/dev/")) << device_;
}

void ExchangeFixture::writeParam() const {
    std::ofstream(work_ / "param.ini", std::ios::binary)
        << "[port] " << device_ << "\r\n[baud] 9600\r\n[file] print\r\n[ecrt] vesko\r\n"
        << "[multi type] true\r\n[time] 0\r\n[print_desc] true\r\n[print_code] true N\r\n"
        << "[comments] true\r\n[currency]=0\r\n[keyb_off]=false\r\n[dir_depa]=false\r\n"
        << "[quantity]=false\r\n[location] " << (exchange_ / "").string() << "\r\n";
}

std::unique_ptr<ChildProcess> ExchangeFixture::startCli(std::vector<std::string> options) const {
    std::vector<std::string> argv{program("merovan-cli"), "--result-dir", exchange_.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    return std::make_unique<ChildProcess>(as(service_, argv), work_, "cli");
}

std::string ExchangeFixture::receiptJob(const std::string& resultFile, const std::string& tag) {
    std::string job = readFile(fs::path(MEROVAN_FIXTURES_DIR) / "cli" / "receipt.job");
    job = common::replaceAll(job, "@RESULT@", resultFile);
    return common::replaceAll(job, "@TAG@", tag);
}

void ExchangeFixture::dropJob(const std::string& name, const std::string& content) const {
    const fs::path part = base_ / (name + ".part");
    std::ofstream(part, std::ios::binary) << content;
    fs::rename(part, exchange_ / name);
}

std::string ExchangeFixture::traffic() const {
    return readFile(work_ / "traffic.txt");
}

std::size_t ExchangeFixture::countInTraffic(const std::string& line) const {
    std::string lines = "\n";
    lines += traffic();
    std::string wanted = "\n";
    wanted += line;
    wanted += '\n';
    return countOf(lines, wanted);
}

bool ExchangeFixture::awaitResult(const fs::path& result, std::chrono::milliseconds timeout) const {
    return eventually([&] { return readFile(result).find("exitcode = ") != std::string::npos; },
                      timeout);
}

}  // namespace merovan::testing
