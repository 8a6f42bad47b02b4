#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "core/jobs/file_places.h"
#include "core/jobs/readiness.h"
#include "support/job_dir_fixture.h"

namespace merovan::jobs {
namespace {

using namespace std::chrono_literals;

TEST_F(JobFilesTest, OnlyAWholeReadableRegularFileIsReady) {
    // A POS that has written part of the job and keeps the file open.
    const std::string job = path("print.1");
    const int fd = ::open(job.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(::write(fd, "1;ITEM;1;100\r\n", 14), 14);
    EXPECT_TRUE(isOpenForWriting(job));
    EXPECT_FALSE(isJobFileReady(job));
    ::close(fd);
    EXPECT_FALSE(isOpenForWriting(job));
    EXPECT_TRUE(isJobFileReady(job));
    std::ifstream reader(job);  // a reader does not hold the job up
    EXPECT_TRUE(isJobFileReady(job));

    write("empty", "");
    for (const std::string& notReady : {path("empty"), path("missing"), dir_.string()}) {
        EXPECT_FALSE(isJobFileReady(notReady)) << notReady;
    }
    write("readonly", "job");
    std::filesystem::permissions(path("readonly"), std::filesystem::perms::owner_read);
    EXPECT_TRUE(isJobFileReady(path("readonly")));
    if (::geteuid() != 0) {  // root reads anything
        std::filesystem::permissions(path("readonly"), std::filesystem::perms::owner_write);
        EXPECT_FALSE(isJobFileReady(path("readonly")));
    }
    // A FIFO nobody writes to would block a reader for ever.
    ASSERT_EQ(::mkfifo(path("print.2").c_str(), 0666), 0);
    EXPECT_FALSE(isJobFileReady(path("print.2")));
    std::filesystem::create_symlink("/dev/zero", path("print.3"));
    EXPECT_FALSE(isJobFileReady(path("print.3")));
    deleteFileQuietly(path("missing"));
    deleteFileQuietly(job);
    EXPECT_FALSE(std::filesystem::exists(job));
}

TEST_F(JobFilesTest, FileIsReadyOnceItsWatchedWriterClosedItOrItWasQuietLongEnough) {
    JobReadiness readiness(1h);  // nothing is ever quiet for long enough here
    write("print.1", "half a job");
    readiness.record(path("print.1"), FileEvent::Written);
    EXPECT_FALSE(readiness.isReady(path("print.1")));
    readiness.record(path("print.1"), FileEvent::Touched);
    EXPECT_FALSE(readiness.isReady(path("print.1")));
    readiness.record(path("print.1"), FileEvent::Closed);
    EXPECT_TRUE(readiness.isReady(path("print.1")));

    // Changed again after the close was seen: known no more.
    std::this_thread::sleep_for(10ms);
    write("print.1", "another job");
    EXPECT_FALSE(readiness.isReady(path("print.1")));
    readiness.record(path("print.1"), FileEvent::MovedIn);
    EXPECT_TRUE(readiness.isReady(path("print.1")));
    readiness.record("", FileEvent::Lost);
    EXPECT_FALSE(readiness.isReady(path("print.1")));

    // Unwatched, a file is ready once it has been quiet for the period.
    JobReadiness quiet(300ms);
    write("print.2", "job");
    EXPECT_FALSE(quiet.isReady(path("print.2")));
    std::this_thread::sleep_for(350ms);
    EXPECT_TRUE(quiet.isReady(path("print.2")));
    EXPECT_TRUE(JobReadiness(0ms).isReady(path("print.2")));
}

TEST_F(JobFilesTest, JobLinksAreFollowedOnlyToRegularFilesInTheExchangeDirectory) {
    const std::string exchange = (dir_ / "").string();
    std::string why;
    write("print.1", "job");
    EXPECT_TRUE(isAcceptableJobPath(path("print.1"), exchange, why)) << why;
    std::filesystem::create_directory(path("jobs"));
    write("jobs/real", "job");
    std::filesystem::create_symlink("jobs/real", path("print.2"));
    EXPECT_TRUE(isAcceptableJobPath(path("print.2"), exchange, why)) << why;

    const std::filesystem::path outside = dir_.string() + "-outside";
    std::filesystem::create_directories(outside);
    std::ofstream(outside / "secret") << "job";
    std::filesystem::create_symlink("../" + outside.filename().string() + "/secret",
                                    path("print.4"));
    EXPECT_FALSE(isAcceptableJobPath(path("print.4"), exchange, why));
    EXPECT_NE(why.find("print.4"), std::string::npos) << why;
    std::filesystem::remove_all(outside);

    std::filesystem::create_symlink("jobs", path("print.5"));
    EXPECT_FALSE(isAcceptableJobPath(path("print.5"), exchange, why));
    ASSERT_EQ(::mkfifo(path("print.6").c_str(), 0666), 0);
    EXPECT_FALSE(isAcceptableJobPath(path("print.6"), exchange, why));
    why.clear();
    EXPECT_FALSE(isAcceptableJobPath(path("print.7"), exchange, why));
    EXPECT_EQ(why, "");  // a missing file is no news
}

}  // namespace
}  // namespace merovan::jobs
