#include <gmock/gmock.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/common/canonical_path.h"
#include "core/driver/job_pickup.h"
#include "driver_fixture.h"
#include "support/read_file.h"

namespace merovan::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using namespace std::string_literals;
using Pickup = DriverFixture;

TEST_F(Pickup, CopiesThatKeepSizeTimeAndContentArePrintedToo) {
    startPolling();
    write("template", "resFile:  r\r\n PLU same receipt\r\n");
    fs::copy_file(path("template"), path("print.1"));
    driver_->pollTick();
    ASSERT_THAT(jobNames(), ElementsAre("print.1"));

    // The POS drops the same receipt again: a copy keeping the time, then a hard link.
    fs::remove(path("print.1"));
    ASSERT_EQ(std::system(("cp -p " + path("template") + " " + path("print.1")).c_str()), 0);
    driver_->pollTick();
    fs::remove(path("print.1"));
    fs::create_hard_link(path("template"), path("print.1"));
    pollTicks(2);
    EXPECT_THAT(jobNames(), ElementsAre("print.1", "print.1", "print.1"));
    EXPECT_THAT(contentsRun_, Contains("resFile:  r\r\n PLU same receipt\r\n").Times(3));
}

TEST_F(Pickup, OneExchangeDirectoryHoweverItIsSpelledPrintsAJobOnce) {
    fs::create_directory_symlink(dir_, dir_.string() + "-link");
    write("print.1", "one job");
    for (const std::string& location :
         {dir_.string() + "/", dir_.string() + "//", dir_.string() + "-link/",
          dir_.string() + "/../" + dir_.filename().string() + "/"}) {
        SCOPED_TRACE(location);
        params_.location = location;
        makeDriver();
        startPolling();
        pollTicks(2);
    }
    fs::remove(dir_.string() + "-link");
    EXPECT_THAT(jobNames(), ElementsAre("print.1"));
}

TEST_F(Pickup, TheBytesPrintedAreTheBytesRecordedEvenWhenTheFileIsSwapped) {
    jobs::JobJournal journal(path("merovan.jnl"));
    std::string problem;
    journal.load(problem);
    driver::JobPickup pickup(journal);
    write("print.1", "old job");
    write("next", "new job, renamed in");
    ASSERT_FALSE(pickup.passOver(path("print.1"), false));
    fs::rename(path("next"), path("print.1"));  // between the look and the read
    const auto picked = pickup.read(path("print.1"));
    ASSERT_TRUE(picked.job);
    EXPECT_EQ(picked.job->bytes, "new job, renamed in");
    EXPECT_EQ(picked.job->print.stamp, common::regularFileStamp(path("print.1")));
    ASSERT_TRUE(journal.markStarted(picked.job->canonicalPath, picked.job->print,
                                    picked.job->resultFile, problem));
    ASSERT_TRUE(journal.markDone(picked.job->canonicalPath, problem));
    EXPECT_TRUE(pickup.passOver(path("print.1"), false));
    EXPECT_FALSE(pickup.read(path("print.1")).job);

    // Swapped once more, to the old bytes in a new file: a version never printed.
    write("next", "old job");
    fs::rename(path("next"), path("print.1"));
    EXPECT_FALSE(pickup.passOver(path("print.1"), false));
    EXPECT_EQ(pickup.read(path("print.1")).job->bytes, "old job");
}

TEST_F(Pickup, ARefusedVersionIsRefusedOnceAndToldToThePos) {
    startPolling();
    const std::string header = "resFile:  " + path("result.txt") + "\r\n";
    write("print.1", header + " PLU A\0B\r\n"s);
    {
        // Two gigabytes that take no room: only its first megabyte is ever read.
        std::ofstream(path("print.2"), std::ios::binary) << header;
        fs::resize_file(path("print.2"), 2ULL << 30);
    }
    write("print.3", "a good job");
    pollTicks(5);
    EXPECT_THAT(jobNames(), ElementsAre("print.3"));
    EXPECT_THAT(op_.logLines(), Contains(HasSubstr("NUL")).Times(1));
    EXPECT_THAT(op_.logLines(), Contains(HasSubstr("1 MB")).Times(1));
    const std::string result = readFile(path("result.txt"));
    EXPECT_THAT(result, HasSubstr("Err = -13, [" + path("print.1") + "] DateTime = "));
    EXPECT_THAT(result, HasSubstr("Err = -12, [" + path("print.2") + "] DateTime = "));
    EXPECT_THAT(result, HasSubstr("\r\nexitcode = 2\r\nErr = -12"));
    EXPECT_TRUE(result.ends_with("\r\nexitcode = 2\r\n"));
    EXPECT_EQ(std::count(result.begin(), result.end(), '\n'), 4);

    // Written anew, it is a new version.
    write("print.1", header + " PLU fixed\r\n");
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3", "print.1"));
}

TEST_F(Pickup, PatternsTakeNeitherTheDriversOwnFilesNorResultFilesNorNonFiles) {
    params_.file = "*";
    write("param.ini", "[file] *\r\n");
    write("vats.dat", "rates");
    write("payeft.dat", "cards");
    write("merovan.conf", "conf");
    startPolling();
    fs::create_directory(path("a-directory"));
    ASSERT_EQ(::mkfifo(path("b-fifo").c_str(), 0600), 0);
    write("job-a", "resFile:  " + path("res-a") + "\r\n job a\r\n");
    for (int tick = 0; tick < 4; ++tick) {
        driver_->pollTick();
        write("res-a", "tag = x\r\n");  // what the interpreter would have appended
    }
    EXPECT_THAT(jobNames(), ElementsAre("job-a"));

    // Nor after a restart, when only the journal remembers the result file.
    makeDriver();
    startPolling();
    pollTicks(2);
    EXPECT_THAT(jobNames(), ElementsAre("job-a"));
}

TEST_F(Pickup, AJobLeftInAPatternBacklogIsPrintedOnceAndTheNextFollowsAtOnce) {
    params_.file = "J*.job";
    startPolling();
    for (int n = 1; n <= 300; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "J%03d.job", n);
        write(name, std::string("job ") + name);
    }
    int taken = 0;
    while (driver_->pollTick()) {
        ++taken;
    }
    EXPECT_EQ(taken, 300);
    for (int tick = 0; tick < 10; ++tick) {
        EXPECT_FALSE(driver_->pollTick());
    }
    makeDriver();  // and across a restart
    startPolling();
    EXPECT_FALSE(driver_->pollTick());
    ASSERT_EQ(jobsRun_.size(), 300u);
    std::vector<std::string> names = jobNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

TEST_F(Pickup, NoJobIsSentWhileItsStartedMarkCannotBeWritten) {
    driver::DriverOptions options;
    options.journalName = "not-yet/merovan.jnl";
    makeDriver(options);
    startPolling();
    write("print.1", "job");
    EXPECT_FALSE(driver_->pollTick());
    EXPECT_FALSE(driver_->pollTick());
    EXPECT_THAT(jobsRun_, IsEmpty());
    EXPECT_THAT(op_.status(), HasSubstr("not-yet/merovan.jnl: No such file or directory"));
    EXPECT_THAT(op_.logLines(),
                Contains(HasSubstr("No such file or directory")).Times(1));  // said once

    fs::create_directory(path("not-yet"));
    EXPECT_TRUE(driver_->pollTick());
    EXPECT_THAT(jobNames(), ElementsAre("print.1"));
}

// A work directory on a small file system of its own, filled to the last byte.
class FullDisk : public DriverFixture {
  protected:
    void SetUp() override {
        workDir_ = dir_ / "work";
        fs::create_directory(workDir_);
        if (::geteuid() != 0 || ::mount("tmpfs", workDir_.c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        }
        mounted_ = true;
    }
    void TearDown() override {
        driver_.reset();
        if (mounted_) {
            ::umount(workDir_.c_str());
        }
    }
    // Short writes up to the last byte, then none.
    void fill() const {
        std::ofstream(workDir_ / "filler", std::ios::binary) << std::string(65536, 'x');
    }
    bool mounted_ = false;
};

TEST_F(FullDisk, NoJobIsSentUntilTheJournalHasRoomAndNoneTwiceAfterARestart) {
    fill();
    startPolling();
    write("print.1", "job");
    pollTicks(2);
    EXPECT_THAT(jobsRun_, IsEmpty());
    EXPECT_THAT(op_.status(), HasSubstr("No space left on device"));
    EXPECT_FALSE(fs::exists(workDir_ / "merovan.jnl") &&
                 fs::file_size(workDir_ / "merovan.jnl") > 0);

    fs::remove(workDir_ / "filler");
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.1"));
    makeDriver();
    startPolling();
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.1"));
}

}  // namespace
}  // namespace merovan::testing
