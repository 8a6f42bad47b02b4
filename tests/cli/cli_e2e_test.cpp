// merovan-cli as a POS program meets it: a separate process, talking to merovan-register on a
// pseudo-terminal, with job files in a temporary exchange directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "core/common/text.h"
#include "core/vat/vat_table.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kCli = std::string(MEROVAN_BINARY_DIR) + "/src/apps/merovan-cli";
const std::string kRegister = std::string(MEROVAN_BINARY_DIR) + "/src/apps/merovan-register";
const fs::path kFixtures = fs::path(MEROVAN_FIXTURES_DIR) / "cli";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Dates and times differ from run to run; everything else is compared byte for byte.
std::string withoutDates(const std::string& text) {
    static const std::regex dateTime(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)");
    return std::regex_replace(text, dateTime, "DD/MM/YYYY hh:mm:ss");
}

class CliEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kCli) || !fs::exists(kRegister)) {
            GTEST_SKIP() << "merovan-cli or merovan-register not built";
        }
    }

    CliEndToEnd() {
        dir_ = fs::temp_directory_path() / ("merovan-cli-e2e-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        EXPECT_EQ(vat::SaveVatRates((dir_ / vat::kVatFileName).string(), {24, 13, 6, 0, 17}), 0);
    }
    ~CliEndToEnd() override {
        if (!HasFailure()) {
            fs::remove_all(dir_);
        }
    }

    void startRegister(const std::string& scenario = {}) {
        std::vector<std::string> argv = {kRegister, "--pty", "--traffic",
                                         (dir_ / "traffic.txt").string()};
        if (!scenario.empty()) {
            std::ofstream(dir_ / "scenario.txt") << scenario;
            argv.insert(argv.end(), {"--scenario", (dir_ / "scenario.txt").string()});
        }
        register_ = std::make_unique<ChildProcess>(argv, dir_.string());
        device_ = register_->readLine(5s).value_or("");
        ASSERT_TRUE(device_.starts_with("/dev/")) << device_;
    }

    // The sample receipt as a job file, naming its own result file.
    void writeJob(const std::string& name, const std::string& tag) const {
        std::string job = readFile(kFixtures / "receipt.job");
        job = common::replaceAll(job, "@RESULT@", (dir_ / (name + ".result")).string());
        job = common::replaceAll(job, "@TAG@", tag);
        const fs::path side = dir_ / (name + ".part");
        std::ofstream(side, std::ios::binary) << job;
        fs::rename(side, dir_ / name);
    }

    void writeParamFile() const {
        std::ofstream(dir_ / "param.ini", std::ios::binary)
            << "[port] " << device_ << "\r\n[baud] 9600\r\n[file] print\r\n[ecrt] vesko\r\n"
            << "[multi type] true\r\n[time] 0\r\n[print_desc] true\r\n[print_code] true N\r\n"
            << "[comments] true\r\n[currency]=0\r\n[keyb_off]=false\r\n[dir_depa]=false\r\n"
            << "[quantity]=false\r\n[location] " << (dir_ / "").string() << "\r\n";
    }

    std::vector<std::string> traffic() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(dir_ / "traffic.txt"));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // Waits until the register has received count commands.
    bool awaitTraffic(std::size_t count, std::chrono::milliseconds timeout) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (traffic().size() < count) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // The result file of the sample receipt, printed as the register's receipt number next.
    static std::string expectedResult(const std::string& tag, int next) {
        std::string result = readFile(kFixtures / "receipt.result");
        result = common::replaceAll(result, "@TAG@", tag);
        return common::replaceAll(result, "@NEXT@", std::to_string(next));
    }

    fs::path dir_;
    std::unique_ptr<ChildProcess> register_;
    std::string device_;
};

TEST_F(CliEndToEnd, SixFieldCommandLinePrintsTheJobAndExits) {
    startRegister();
    writeJob("job.txt", "ONE");
    ChildProcess cli(
        {kCli, device_ + ":9600,9600," + (dir_ / "job.txt").string() + ",0,vesko,1110000"},
        dir_.string());
    const auto status = cli.wait(30s);
    ASSERT_TRUE(status.has_value()) << cli.errorOutput();
    EXPECT_EQ(*status, 0) << cli.errorOutput();
    EXPECT_FALSE(fs::exists(dir_ / "job.txt"));
    EXPECT_EQ(readFile(dir_ / "traffic.txt"), readFile(kFixtures / "command_line.traffic"));
    EXPECT_EQ(withoutDates(readFile(dir_ / "job.txt.result")), expectedResult("ONE", 2));
}

TEST_F(CliEndToEnd, ShortOptionStringSaysFarewellWithoutTouchingTheRegister) {
    startRegister();
    ChildProcess cli({kCli, device_ + ":9600,9600,job.txt,0,vesko,111111"}, dir_.string());
    EXPECT_EQ(cli.wait(10s), std::optional(3));
    EXPECT_TRUE(cli.readLine(1s).has_value());  // the farewell frame
    EXPECT_TRUE(traffic().empty());
}

TEST_F(CliEndToEnd, PollingPicksUpEachNumberedJobOnce) {
    startRegister();
    writeParamFile();
    ChildProcess cli({kCli}, dir_.string());
    ASSERT_TRUE(awaitTraffic(1, 10s)) << cli.errorOutput();  // supervision's "KXCL"
    // The one-job traffic is a "KXCL" while waiting for the register, then the job.
    const std::string oneJob = readFile(kFixtures / "command_line.traffic");
    const auto jobLines =
        static_cast<std::size_t>(std::count(oneJob.begin(), oneJob.end(), '\n')) - 1;
    for (const char* name : {"print.1", "print.2", "print.3"}) {
        writeJob(name, name);
    }
    ASSERT_TRUE(awaitTraffic(1 + 3 * jobLines, 20s)) << cli.errorOutput();
    std::this_thread::sleep_for(2500ms);  // a second look at every job must not print it again
    cli.signal(SIGTERM);
    EXPECT_EQ(cli.wait(10s), std::optional(0)) << cli.errorOutput();
    // Supervision's "KXCL", then each job's commands once.
    const std::string job = oneJob.substr(oneJob.find('\n') + 1);
    EXPECT_EQ(readFile(dir_ / "traffic.txt"), oneJob + job + job);
    int next = 2;
    for (const std::string name : {"print.1", "print.2", "print.3"}) {
        EXPECT_EQ(withoutDates(readFile(dir_ / (name + ".result"))), expectedResult(name, next++));
    }
}

TEST_F(CliEndToEnd, SigtermDuringAJobLetsTheJobFinish) {
    startRegister("late KX610T1 2000\n");  // the payment keeps the job going
    writeParamFile();
    ChildProcess cli({kCli}, dir_.string());
    ASSERT_TRUE(awaitTraffic(1, 10s)) << cli.errorOutput();
    writeJob("print.1", "ONE");
    ASSERT_TRUE(awaitTraffic(3, 10s));  // the job's first commands are out
    cli.signal(SIGTERM);
    EXPECT_EQ(cli.wait(30s), std::optional(0)) << cli.errorOutput();
    EXPECT_EQ(withoutDates(readFile(dir_ / "print.1.result")), expectedResult("ONE", 2));
}

}  // namespace
}  // namespace merovan::testing
