// merovan-cli as a POS program meets it: a separate process, talking to merovan-register on a
// pseudo-terminal, with job files in a temporary exchange directory.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "core/common/text.h"
#include "core/vat/vat_table.h"
#include "exchange_fixture.h"
#include "support/net_namespace_pair.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(MEROVAN_FIXTURES_DIR) / "cli";
// What the register hears for one receipt when the driver starts with it: a "KXCL" while
// waiting for the register, then the job's commands.
const std::string kOneJob = readFile(kFixtures / "command_line.traffic");

// Dates and times differ from run to run; everything else is compared byte for byte.
std::string withoutDates(const std::string& text) {
    static const std::regex dateTime(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)");
    return std::regex_replace(text, dateTime, "DD/MM/YYYY hh:mm:ss");
}

// A register on a pseudo-terminal answering as scenario_ says, vats.dat beside param.ini.
class CliEndToEnd : public ExchangeFixture {
  protected:
    void SetUp() override {
        ExchangeFixture::SetUp();
        if (!IsSkipped()) {
            ASSERT_TRUE(
                vat::saveVatRates((work_ / vat::kVatFileName).string(), {24, 13, 6, 0, 17}));
            startRegister(scenario_);
        }
    }

    // The sample receipt as a job file in the exchange directory, naming its own result file.
    void writeJob(const std::string& name, const std::string& tag) const {
        dropJob(name, receiptJob(resultOf(name).string(), tag));
    }
    fs::path resultOf(const std::string& name) const { return exchange_ / (name + ".result"); }

    // merovan-cli polling for print.N with the register's port in param.ini (by default the
    // simulator's), started through launcher when one is given.
    std::unique_ptr<ChildProcess> startPolling(const std::string& port = {},
                                               const std::string& baud = "9600",
                                               std::vector<std::string> launcher = {}) const {
        writeParam(port, baud);
        launcher.insert(launcher.end(), {kCli, "--trace"});
        return std::make_unique<ChildProcess>(launcher, work_, "cli");
    }

    // Waits until the register has received count commands (into traffic, by default the
    // first register's).
    bool awaitTraffic(long count, std::chrono::milliseconds timeout,
                      const std::string& traffic = {}) const {
        const fs::path file = traffic.empty() ? work_ / "traffic.txt" : fs::path(traffic);
        return eventually([&] { return std::ranges::count(readFile(file), '\n') >= count; },
                          timeout);
    }

    // The result file of job `name`, which the register printed as receipt number next.
    void expectResult(const std::string& name, const std::string& tag, int next) const {
        const std::string result =
            common::replaceAll(readFile(kFixtures / "receipt.result"), "@TAG@", tag);
        EXPECT_EQ(withoutDates(readFile(resultOf(name))),
                  common::replaceAll(result, "@NEXT@", std::to_string(next)))
            << name;
    }

    std::string scenario_;
};

TEST_F(CliEndToEnd, CommandLinePrintsTheOneJobAndExits) {
    // Too short an option string: a farewell, exit status 3, the register untouched.
    ChildProcess bad({kCli, device_ + ":9600,9600,job.txt,0,vesko,111111"}, work_, "bad");
    EXPECT_EQ(bad.wait(10s), std::optional(3));
    EXPECT_TRUE(bad.firstLine(1s).has_value());
    EXPECT_EQ(traffic(), "");

    writeJob("job.txt", "ONE");
    const std::string job = (exchange_ / "job.txt").string();
    ChildProcess cli({kCli, device_ + ":9600,9600," + job + ",0,vesko,1110000"}, work_, "cli");
    EXPECT_EQ(cli.wait(30s), std::optional(0)) << cli.errorOutput();
    EXPECT_FALSE(fs::exists(job));
    EXPECT_EQ(traffic(), kOneJob);
    expectResult("job.txt", "ONE", 2);
}

class CliSlowPayment : public CliEndToEnd {
  protected:
    CliSlowPayment() { scenario_ = "late KX610T1 2000\n"; }
};

TEST_F(CliSlowPayment, SigtermDuringAJobLetsTheJobFinish) {
    const auto cli = startPolling();
    ASSERT_TRUE(awaitTraffic(1, 10s)) << cli->errorOutput();
    writeJob("print.1", "ONE");
    ASSERT_TRUE(awaitTraffic(3, 10s));  // the job's first commands are out
    EXPECT_EQ(cli->stop(30s), std::optional(0)) << cli->errorOutput();
    expectResult("print.1", "ONE", 2);
}

// A register refusal whose Greek text has two lines: one entry on a terminal; under systemd,
// every line carries a priority and no time stamp (how entries are laid out is for the log line
// tests).
class CliRefusedReport : public CliEndToEnd {
  protected:
    CliRefusedReport() { scenario_ = "error KX0T1 7\n"; }
};

TEST_F(CliRefusedReport, LogEntriesForATerminalAndForTheJournal) {
    writeParam();
    const std::string text = "Merovan4_KVT: Λάθος : 7";
    ChildProcess terminal({kCli, "--report", "x"}, work_, "terminal");
    EXPECT_EQ(terminal.wait(30s), std::optional(1)) << terminal.errorOutput();
    EXPECT_NE(withoutDates(terminal.errorOutput())
                  .find("\nDD/MM/YYYY hh:mm:ss message  " + text +
                        " | Πρόβλημα στην Φορολογική Μνήμη ! | Καλέστε τεχνικό !\n"),
              std::string::npos)
        << terminal.errorOutput();

    setenv("JOURNAL_STREAM", "8:12345", 1);
    ChildProcess cli({kCli, "--report", "x"}, work_, "journal");
    unsetenv("JOURNAL_STREAM");
    EXPECT_EQ(cli.wait(30s), std::optional(1)) << cli.errorOutput();
    const std::string log = cli.errorOutput();
    EXPECT_NE(log.find("\n<3>message  " + text + "\n<3> "), std::string::npos) << log;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(std::regex_search(line, std::regex("^<[346]>[a-z ]{8} "))) << line;
    }
}

// Ports that come back: a device that appears after the driver started, one that goes away
// and comes back as another device, a local UDP port another program holds at start. In each,
// a job dropped once the port is back prints without a restart, and the log said why the
// register was off-line.
class CliPortsComeBack : public CliEndToEnd {
  protected:
    void SetUp() override {
        CliEndToEnd::SetUp();
        if (::access("/dev", W_OK) != 0) {
            GTEST_SKIP() << "needs to make a device name in /dev (root)";
        }
    }
    void TearDown() override {
        fs::remove(link_);
        CliEndToEnd::TearDown();
    }

    // The name a USB adapter would have, made to point at a device; swapped in one step.
    void pointLinkAt(const std::string& device) const {
        const std::string next = link_ + ".new";
        fs::remove(next);
        fs::create_symlink(device, next);
        fs::rename(next, link_);
    }

    // Waits for print.1, dropped once the port is back (unless already dropped), to reach
    // the register (its commands in traffic) and be printed as receipt 2.
    void expectPrinted(const std::string& traffic, long commands, const ChildProcess& cli,
                       bool drop = true) const {
        if (drop) {
            writeJob("print.1", "ONE");
        }
        EXPECT_TRUE(awaitTraffic(commands, 15s, traffic)) << cli.errorOutput();
        EXPECT_TRUE(awaitResult(resultOf("print.1"), 15s)) << cli.errorOutput();
        expectResult("print.1", "ONE", 2);
    }

    // A serial port's name, as a udev rule makes one; at most 15 characters, as param.ini
    // takes no more of [port].
    const std::string link_ = "/dev/mv" + std::to_string(getpid());
    const long jobCommands_ = std::ranges::count(kOneJob, '\n');
};

TEST_F(CliPortsComeBack, ADeviceThatAppearsAfterStartIsFound) {
    const auto cli = startPolling(link_);
    std::this_thread::sleep_for(4s);
    const std::string why = "εκτός σύνδεσης: η θύρα " + link_ + " δεν ανοίγει: No such file";
    EXPECT_EQ(countOf(cli->errorOutput(), why), 1u) << cli->errorOutput();

    pointLinkAt(device_);
    expectPrinted((work_ / "traffic.txt").string(), jobCommands_, *cli);
    EXPECT_EQ(traffic(), kOneJob);
    EXPECT_EQ(countOf(cli->errorOutput(), why), 1u) << "once, not every second";
    EXPECT_EQ(cli->stop(10s), std::optional(0));
}

TEST_F(CliPortsComeBack, ADeviceThatIsRemovedAndMadeAgainIsFound) {
    pointLinkAt(device_);
    const auto cli = startPolling(link_);
    ASSERT_TRUE(
        eventually([&] { return cli->errorOutput().find("ON-Line") != std::string::npos; }, 10s))
        << cli->errorOutput();

    // Unplugged: the register goes away with its device and comes back as another one.
    register_.reset();
    fs::remove(link_);
    // A job dropped while the register is gone waits for it: no line of it fails.
    writeJob("print.1", "ONE");
    std::this_thread::sleep_for(2s);
    EXPECT_FALSE(fs::exists(resultOf("print.1"))) << cli->errorOutput();
    const std::string traffic = (work_ / "traffic2.txt").string();
    ChildProcess again({kRegister, "--pty", "--traffic", traffic}, work_, "register2");
    const std::string device = again.firstLine(5s).value_or("");
    ASSERT_TRUE(device.starts_with("/dev/")) << device;
    pointLinkAt(device);
    expectPrinted(traffic, jobCommands_ - 1, *cli, false);
    EXPECT_EQ(readFile(traffic), kOneJob.substr(kOneJob.find('\n') + 1));
    EXPECT_NE(cli->errorOutput().find("εκτός σύνδεσης: η θύρα " + link_ + " χάθηκε"),
              std::string::npos)
        << cli->errorOutput();
    EXPECT_EQ(cli->stop(10s), std::optional(0));
}

// The driver binds the register's port on every local address, as in a shop: it and the
// register each live in a network namespace of their own.
TEST_F(CliPortsComeBack, AUdpPortBusyAtStartIsTakenOnceFree) {
    if (!NetNamespacePair::available()) {
        GTEST_SKIP() << "needs root and the ip tool";
    }
    const NetNamespacePair pair;
    ASSERT_TRUE(pair.ok()) << "could not build the namespace pair";
    int held = -1;
    NetNamespacePair::inside(pair.driver(), [&held] {
        held = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(5012);
        ::bind(held, reinterpret_cast<const sockaddr*>(&any), sizeof any);
    });
    ASSERT_GE(held, 0);
    const std::string traffic = (work_ / "traffic2.txt").string();
    const std::string address = NetNamespacePair::kRegisterAddress;
    ChildProcess udpRegister({"/usr/bin/env", "ip", "netns", "exec", pair.register_(), kRegister,
                              "--udp", address + ":5012", "--traffic", traffic},
                             work_, "register2");
    ASSERT_TRUE(udpRegister.firstLine(5s).has_value()) << udpRegister.errorOutput();
    const auto cli =
        startPolling(address, "5012", {"/usr/bin/env", "ip", "netns", "exec", pair.driver()});

    std::this_thread::sleep_for(3s);
    const std::string why =
        "εκτός σύνδεσης: η τοπική θύρα UDP 0.0.0.0:5012 δεν δεσμεύεται: Address already in use";
    EXPECT_EQ(countOf(cli->errorOutput(), why), 1u) << cli->errorOutput();
    EXPECT_EQ(readFile(traffic), "");
    ::close(held);

    expectPrinted(traffic, jobCommands_, *cli);
    EXPECT_EQ(readFile(traffic), kOneJob);
    EXPECT_EQ(cli->stop(10s), std::optional(0));
}

// The limit on the wait reaches the driver (how long it waits is for the fake clock to show):
// before a port that will not open, the job stays in place.
TEST_F(CliEndToEnd, GiveUpAfterLeavesTheJobInPlace) {
    writeJob("job.txt", "ONE");
    const std::string job = (exchange_ / "job.txt").string();
    ChildProcess cli({kCli, "--give-up-after", "2",
                      "/dev/merovan-no-such-port:9600,9600," + job + ",0,vesko,1110000"},
                     work_, "cli");
    EXPECT_EQ(cli.wait(30s), std::optional(4)) << cli.errorOutput();
    EXPECT_TRUE(fs::exists(job));
}

}  // namespace
}  // namespace merovan::testing
