// The packaged set-up: the driver runs as a service user, the POS as another user who drops
// jobs into the shared exchange directory, and the desktop program's user owns the data files.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/vat/vat_table.h"
#include "exchange_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class TwoUsers : public ExchangeFixture {
  protected:
    void SetUp() override {
        ExchangeFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        service_ = unprivilegedUser("merovan-test-svc");
        pos_ = unprivilegedUser("merovan-test-pos");
        if (!service_ || !pos_) {
            GTEST_SKIP() << "needs root and setpriv to act as a service user and a POS user";
        }
    }

    // A file as the desktop program's user leaves it: its own, readable by all (mode 644).
    void ownedByPos(const fs::path& path) const {
        ASSERT_EQ(::chown(path.c_str(), pos_->uid, pos_->gid), 0);
        fs::permissions(path, fs::perms(0644));
    }

    std::optional<SystemUser> pos_;
};

TEST_F(TwoUsers, TheServicePrintsThePosJobsOnceAndReadsTheDesktopUsersDataFiles) {
    // Payment 2 is a card payment on terminal 1; the terminal answers at once.
    startRegister("card KX*T2P1 0.5 358OK:000123\n");
    writeParam();
    ASSERT_TRUE(vat::saveVatRates((work_ / vat::kVatFileName).string(), {24, 13, 6, 0, 17}));
    ASSERT_TRUE(eft::writeEftRecord((work_ / eft::kEftFileName).string(), {2, 2, 1, -1}));
    ownedByPos(work_ / vat::kVatFileName);
    ownedByPos(work_ / eft::kEftFileName);
    const auto cli = startCli();

    // A job the POS writes in one go with its usual mode 644.
    const fs::path result1 = exchange_ / "print.1.result";
    std::ofstream(base_ / "job1", std::ios::binary)
        << common::replaceAll(receiptJob(result1.string(), "ONE"), " to    1", " to    2");
    fs::permissions(base_ / "job1", fs::perms(0644));
    ChildProcess copy(
        as(pos_, {"/bin/cp", (base_ / "job1").string(), (exchange_ / "print.1").string()}), base_,
        "pos");
    ASSERT_EQ(copy.wait(10s), std::optional(0)) << copy.errorOutput();
    struct stat info {};
    ASSERT_EQ(::stat((exchange_ / "print.1").c_str(), &info), 0);
    ASSERT_EQ(info.st_uid, pos_->uid);
    ASSERT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_TRUE(awaitResult(result1, 30s)) << cli->errorOutput();

    // The 24 % item found its category and payment 2 went to the card terminal.
    EXPECT_EQ(countOf(traffic(), "\nKX250R1"), 1u) << traffic();
    EXPECT_EQ(countInTraffic("KX610T2P1"), 1u) << traffic();

    // A slow writer of another user: half the job, the file held open for 3 s, the rest.
    const fs::path result2 = exchange_ / "print.2.result";
    const std::string job2 = receiptJob(result2.string(), "TWO");
    const auto half = job2.find(" sut");
    std::ofstream(base_ / "first", std::ios::binary) << job2.substr(0, half);
    std::ofstream(base_ / "rest", std::ios::binary) << job2.substr(half);
    ChildProcess writer(as(pos_, {"/bin/sh", "-c", "exec >\"$1\"; cat \"$2\"; sleep 3; cat \"$3\"",
                                  "sh", (exchange_ / "print.2").string(),
                                  (base_ / "first").string(), (base_ / "rest").string()}),
                        base_, "writer");
    std::this_thread::sleep_for(2500ms);
    EXPECT_FALSE(fs::exists(result2)) << "taken while its writer still wrote it";
    ASSERT_EQ(writer.wait(10s), std::optional(0)) << writer.errorOutput();
    ASSERT_TRUE(awaitResult(result2, 30s)) << cli->errorOutput();

    // A second look at every job must not print it again.
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(cli->stop(10s), std::optional(0)) << cli->errorOutput();
    for (const auto& result : {result1, result2}) {
        const std::string lines = readFile(result);
        EXPECT_EQ(countOf(lines, "tag = "), 1u) << lines;
        EXPECT_EQ(countOf(lines, "exitcode = 0"), 1u) << lines;
    }
    EXPECT_EQ(countInTraffic("KX610T1"), 1u) << traffic();  // the whole of job two, once
    EXPECT_EQ(countInTraffic("KXRE"), 2u) << traffic();
    EXPECT_EQ(cli->errorOutput().find("vats.dat"), std::string::npos) << cli->errorOutput();
    EXPECT_EQ(cli->errorOutput().find("payeft.dat"), std::string::npos) << cli->errorOutput();
}

}  // namespace
}  // namespace merovan::testing
