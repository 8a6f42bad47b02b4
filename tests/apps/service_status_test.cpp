// What merovan-cli tells about itself while it runs: the service manager's notify messages and
// the status --status reads, with the real programs on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <set>

#include "core/common/unique_fd.h"
#include "exchange_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;

class CliServiceStatus : public ExchangeFixture {
  protected:
    // merovan-cli polling, its environment extended by `environment` ("NAME=value").
    std::unique_ptr<ChildProcess> startDriver(const std::vector<std::string>& environment = {}) {
        std::vector<std::string> argv{"/usr/bin/env"};
        argv.insert(argv.end(), environment.begin(), environment.end());
        argv.push_back(kCli);
        return std::make_unique<ChildProcess>(argv, work_, "cli");
    }
    // merovan-cli --status [--json] in the driver's directory: its exit status and output.
    std::pair<int, std::string> status(bool json = false) {
        std::vector<std::string> argv{kCli, "--status"};
        if (json) {
            argv.push_back("--json");
        }
        ChildProcess asked(argv, work_, "status");
        const auto exit = asked.wait(10s);
        return {exit.value_or(-1), readFile(work_ / "status.out")};
    }
    bool statusBecomes(int exit) {
        return eventually([&] { return status().first == exit; }, 10s);
    }
};

TEST_F(CliServiceStatus, StatusSaysOnLineOffLineOrNotRunning) {
    EXPECT_EQ(status().first, 2);

    // A port that does not exist: the driver runs, the register is not on-line.
    writeParam("/dev/merovan-no-such-port");
    auto driver = startDriver();
    ASSERT_TRUE(statusBecomes(1)) << driver->errorOutput();
    EXPECT_NE(status().second.find("Off-Line"), std::string::npos);
    // Killed, it leaves its status file behind; nobody runs any longer.
    driver->signal(SIGKILL);
    driver->wait(10s);
    EXPECT_TRUE(std::filesystem::exists(work_ / "merovan.status.json"));
    EXPECT_EQ(status().first, 2);

    startRegister();
    writeParam();
    driver = startDriver();
    ASSERT_TRUE(statusBecomes(0)) << driver->errorOutput();
    // A caption that follows the state comes with the next write, within a second.
    nlohmann::json json;
    EXPECT_TRUE(eventually(
        [&] {
            json = nlohmann::json::parse(status(true).second);
            return json["caption"] == "Merovan- Αναμονή";
        },
        10s))
        << json;
    EXPECT_EQ(json["state"], "printing");
    EXPECT_EQ(json["online"], true);

    EXPECT_EQ(driver->stop(30s), std::optional(0));
    EXPECT_EQ(status().first, 2);
}

// A datagram socket of the test's own, in the abstract namespace, as NOTIFY_SOCKET names it.
class NotifySocket {
  public:
    NotifySocket() : name_("@merovan-notify-" + std::to_string(::getpid())) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, name_.data() + 1, name_.size() - 1);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name_.size());
        const timeval wait{.tv_sec = 0, .tv_usec = 200000};
        if (!fd_ || ::bind(fd_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait) != 0) {
            ADD_FAILURE() << "cannot listen on " << name_ << ": " << std::strerror(errno);
        }
    }
    const std::string& name() const { return name_; }
    // The next message; empty when none came within 200 ms.
    std::string receive() const {
        char buffer[4096];
        const ssize_t size = ::recv(fd_.get(), buffer, sizeof buffer, 0);
        return size > 0 ? std::string(buffer, static_cast<std::size_t>(size)) : std::string();
    }

  private:
    std::string name_;
    common::UniqueFd fd_{::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
};

TEST_F(CliServiceStatus, TellsTheServiceManagerReadyStatusAndWatchdog) {
    const NotifySocket socket;
    startRegister();
    writeParam();
    const auto driver = startDriver({"NOTIFY_SOCKET=" + socket.name(), "WATCHDOG_USEC=400000"});
    std::vector<std::string> messages;
    const auto seen = [&](const std::string& message) {
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    };
    const bool all = eventually(
        [&] {
            for (auto message = socket.receive(); !message.empty(); message = socket.receive()) {
                messages.push_back(message);
            }
            return seen("READY=1") && seen("STATUS=Merovan- Αναμονή") &&
                   std::count(messages.begin(), messages.end(), "WATCHDOG=1") >= 2;
        },
        15s);
    EXPECT_TRUE(all) << ::testing::PrintToString(messages) << driver->errorOutput();
    // Ready once the register answered: the search's caption went before it.
    const auto ready = std::find(messages.begin(), messages.end(), "READY=1");
    EXPECT_NE(std::find(messages.begin(), ready, "STATUS=Merovan- Αναζήτηση"), ready);
    EXPECT_EQ(driver->stop(30s), std::optional(0));
}

}  // namespace
}  // namespace merovan::testing
