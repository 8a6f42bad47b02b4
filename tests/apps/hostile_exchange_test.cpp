// Whatever a user who may drop files into the exchange directory puts there: special files,
// links out of it, result paths aimed at the driver's own files, header values with line
// breaks; and a file-size limit.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "exchange_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class HostileExchange : public ExchangeFixture {
  protected:
    void SetUp() override {
        ExchangeFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        startRegister();
        writeParam();
    }

    // Ends the driver as systemd does and expects it gone within two seconds.
    void expectQuickStop(ChildProcess& cli) const {
        std::this_thread::sleep_for(500ms);  // whatever it was doing, it is doing it now
        EXPECT_EQ(cli.stop(2s), std::optional(0)) << cli.errorOutput();
    }
};

// Under a file-size limit a write past it fails (SIGXFSZ ignored) instead of killing the driver.
TEST_F(HostileExchange, SpecialFilesAndAFileSizeLimitNeitherHangNorStopTheDriver) {
    ASSERT_EQ(::mkfifo((work_ / "merovan.jnl").c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo((exchange_ / "fifo.txt").c_str(), 0666), 0);
    // This result file already holds as much as the limit lets the driver write.
    constexpr int kLimit = 64 * 1024;
    std::ofstream(exchange_ / "full.txt", std::ios::binary) << std::string(kLimit, 'x');
    ChildProcess cli({"/usr/bin/prlimit", "--fsize=" + std::to_string(kLimit), "--", kCli,
                      "--result-dir", exchange_.string()},
                     work_, "cli");

    // A result file that is a FIFO nobody reads, one that may not grow: the receipts are
    // printed all the same.
    dropJob("print.1", receiptJob((exchange_ / "fifo.txt").string(), "FIFO"));
    dropJob("print.2", receiptJob((exchange_ / "full.txt").string(), "FULL"));
    ASSERT_TRUE(eventually([&] { return countInTraffic("KXRE") == 2; }, 30s)) << cli.errorOutput();
    EXPECT_NE(cli.errorOutput().find("fifo.txt"), std::string::npos) << cli.errorOutput();
    EXPECT_NE(cli.errorOutput().find("full.txt"), std::string::npos) << cli.errorOutput();
    EXPECT_EQ(fs::file_size(exchange_ / "full.txt"), static_cast<std::uintmax_t>(kLimit));

    // param.ini replaced by a FIFO while the driver runs: the settings in force stay.
    ASSERT_EQ(::mkfifo((base_ / "param.fifo").c_str(), 0666), 0);
    fs::rename(base_ / "param.fifo", work_ / "param.ini");
    std::this_thread::sleep_for(1500ms);
    dropJob("print.3", receiptJob((exchange_ / "r3.txt").string(), "AFTER"));
    ASSERT_TRUE(awaitResult(exchange_ / "r3.txt", 20s)) << cli.errorOutput();
    EXPECT_NE(cli.errorOutput().find("param.ini"), std::string::npos) << cli.errorOutput();
    expectQuickStop(cli);
}

TEST_F(HostileExchange, JobsCannotWriteOutsideTheExchangeNorRewriteTheSettings) {
    const std::string param = readFile(work_ / "param.ini");
    std::ofstream(base_ / "outside.job", std::ios::binary)
        << receiptJob((exchange_ / "r5.txt").string(), "OUTSIDE");
    const auto cli = startCli();

    dropJob("print.1", receiptJob("../escaped.txt", "DOTDOT"));  // against the working directory
    dropJob("print.2", receiptJob((base_ / "absolute.txt").string(), "ABSOLUTE"));
    // The settings' own file, with a tag that would add lines of the job's choosing to it.
    dropJob("print.3", receiptJob("param.ini", "x\r[location] /tmp/\r[file] steal"));
    dropJob("print.4", receiptJob((exchange_ / "r4.txt").string(), "T4\rexitcode = 0"));
    fs::create_symlink(base_ / "outside.job", exchange_ / "print.5");
    ASSERT_TRUE(awaitResult(exchange_ / "r4.txt", 30s)) << cli->errorOutput();
    std::this_thread::sleep_for(2500ms);  // time enough for print.5, were it taken

    EXPECT_EQ(countInTraffic("KXRE"), 4u) << traffic();  // every job but the link was printed
    EXPECT_FALSE(fs::exists(base_ / "escaped.txt"));
    EXPECT_FALSE(fs::exists(base_ / "absolute.txt"));
    EXPECT_FALSE(fs::exists(exchange_ / "r5.txt"));
    EXPECT_EQ(readFile(work_ / "param.ini"), param);
    const std::string result = readFile(exchange_ / "r4.txt");
    EXPECT_TRUE(result.starts_with("tag = T4\r\nDateTime start = ")) << result;
    EXPECT_EQ(countOf(result, "exitcode = "), 1u) << result;
    const std::string log = cli->errorOutput();
    for (const char* named : {"escaped.txt", "absolute.txt", "param.ini", "print.5"}) {
        EXPECT_NE(log.find(named), std::string::npos) << named << " not in " << log;
    }
    expectQuickStop(*cli);
}

}  // namespace
}  // namespace merovan::testing
