// merovan-cli as a POS program meets it: a separate process, talking to merovan-register on a
// pseudo-terminal, with job files in a temporary exchange directory.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <thread>

#include "child_process.h"
#include "core/common/text.h"
#include "core/vat/vat_table.h"

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

// A register on a pseudo-terminal started in a fresh exchange directory holding vats.dat.
class CliEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kCli) || !fs::exists(kRegister)) {
            GTEST_SKIP() << "merovan-cli or merovan-register not built";
        }
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_EQ(vat::SaveVatRates((dir_ / vat::kVatFileName).string(), {24, 13, 6, 0, 17}), 0);
        std::ofstream(dir_ / "scenario.txt") << scenario_;
        register_.emplace(std::vector<std::string>{kRegister, "--pty", "--traffic", traffic_,
                                                   "--scenario", (dir_ / "scenario.txt").string()},
                          dir_, "register");
        device_ = register_->firstLine(5s).value_or("");
        ASSERT_TRUE(device_.starts_with("/dev/")) << device_;
    }
    void TearDown() override {
        register_.reset();
        if (!HasFailure()) {
            fs::remove_all(dir_);
        }
    }

    // The sample receipt as a job file, naming its own result file; renamed into place so
    // that the driver never sees half of it.
    void writeJob(const std::string& name, const std::string& tag) const {
        std::string job = readFile(kFixtures / "receipt.job");
        job = common::replaceAll(job, "@RESULT@", (dir_ / (name + ".result")).string());
        std::ofstream(dir_ / "job.part", std::ios::binary) << common::replaceAll(job, "@TAG@", tag);
        fs::rename(dir_ / "job.part", dir_ / name);
    }

    // merovan-cli polling for print.N with the register's port in param.ini.
    std::unique_ptr<ChildProcess> startPolling() const {
        std::ofstream(dir_ / "param.ini", std::ios::binary)
            << "[port] " << device_ << "\r\n[baud] 9600\r\n[file] print\r\n[ecrt] vesko\r\n"
            << "[multi type] true\r\n[time] 0\r\n[print_desc] true\r\n[print_code] true N\r\n"
            << "[comments] true\r\n[currency]=0\r\n[keyb_off]=false\r\n[dir_depa]=false\r\n"
            << "[quantity]=false\r\n[location] " << (dir_ / "").string() << "\r\n";
        return std::make_unique<ChildProcess>(std::vector<std::string>{kCli}, dir_, "cli");
    }

    // Waits until the register has received count commands.
    bool awaitTraffic(long count, std::chrono::milliseconds timeout) const {
        return eventually([&] { return std::ranges::count(readFile(traffic_), '\n') >= count; },
                          timeout);
    }

    // The result file of job `name`, which the register printed as receipt number next.
    void expectResult(const std::string& name, const std::string& tag, int next) const {
        std::string result =
            common::replaceAll(readFile(kFixtures / "receipt.result"), "@TAG@", tag);
        result = common::replaceAll(result, "@NEXT@", std::to_string(next));
        EXPECT_EQ(withoutDates(readFile(dir_ / (name + ".result"))), result) << name;
    }

    std::string scenario_;
    const fs::path dir_ = fs::temp_directory_path() / ("merovan-cli-" + std::to_string(getpid()));
    const std::string traffic_ = (dir_ / "traffic.txt").string();
    std::optional<ChildProcess> register_;
    std::string device_;
};

TEST_F(CliEndToEnd, CommandLinePrintsTheOneJobAndExits) {
    // Too short an option string: a farewell, exit status 3, the register untouched.
    ChildProcess bad({kCli, device_ + ":9600,9600,job.txt,0,vesko,111111"}, dir_, "bad");
    EXPECT_EQ(bad.wait(10s), std::optional(3));
    EXPECT_TRUE(bad.firstLine(1s).has_value());
    EXPECT_EQ(readFile(traffic_), "");

    writeJob("job.txt", "ONE");
    const std::string job = (dir_ / "job.txt").string();
    ChildProcess cli({kCli, device_ + ":9600,9600," + job + ",0,vesko,1110000"}, dir_, "cli");
    EXPECT_EQ(cli.wait(30s), std::optional(0)) << cli.errorOutput();
    EXPECT_FALSE(fs::exists(job));
    EXPECT_EQ(readFile(traffic_), kOneJob);
    expectResult("job.txt", "ONE", 2);
}

TEST_F(CliEndToEnd, PollingPicksUpEachNumberedJobOnce) {
    const auto cli = startPolling();
    ASSERT_TRUE(awaitTraffic(1, 10s)) << cli->errorOutput();  // supervision's "KXCL"
    const std::string job = kOneJob.substr(kOneJob.find('\n') + 1);
    for (const char* name : {"print.1", "print.2", "print.3"}) {
        writeJob(name, name);
    }
    ASSERT_TRUE(awaitTraffic(1 + 3 * std::ranges::count(job, '\n'), 20s)) << cli->errorOutput();
    std::this_thread::sleep_for(2500ms);  // a second look at every job must not print it again
    cli->signal(SIGTERM);
    EXPECT_EQ(cli->wait(10s), std::optional(0)) << cli->errorOutput();
    EXPECT_EQ(readFile(traffic_), kOneJob + job + job);
    for (int n = 1; n <= 3; ++n) {
        expectResult("print." + std::to_string(n), "print." + std::to_string(n), n + 1);
    }
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
    cli->signal(SIGTERM);
    EXPECT_EQ(cli->wait(30s), std::optional(0)) << cli->errorOutput();
    expectResult("print.1", "ONE", 2);
}

}  // namespace
}  // namespace merovan::testing
