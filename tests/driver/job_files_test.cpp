#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/driver/helper_program.h"
#include "core/jobs/job_files.h"
#include "core/jobs/job_journal.h"
#include "core/jobs/readiness.h"

namespace merovan::jobs {
namespace {

using namespace std::chrono_literals;

class JobFilesTest : public ::testing::Test {
  protected:
    JobFilesTest() {
        dir_ = std::filesystem::temp_directory_path() /
               ("merovan-jobfiles-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~JobFilesTest() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }

    std::filesystem::path dir_;
};

TEST_F(JobFilesTest, AJobStillBeingWrittenIsNotReady) {
    // A POS that writes a line every 300 ms and keeps the file open for two seconds.
    const std::string job = path("print.1");
    const int fd = ::open(job.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    std::thread writer([fd] {
        for (int line = 0; line < 7; ++line) {
            [[maybe_unused]] auto n = ::write(fd, "1;ITEM;1;100\r\n", 14);
            std::this_thread::sleep_for(300ms);
        }
        ::close(fd);
    });
    std::this_thread::sleep_for(400ms);
    EXPECT_GT(std::filesystem::file_size(job), 0u);
    EXPECT_TRUE(isOpenForWriting(job));
    EXPECT_FALSE(IsJobFileReady(job));
    writer.join();
    EXPECT_FALSE(isOpenForWriting(job));
    EXPECT_TRUE(IsJobFileReady(job));

    // A reader does not hold the job up.
    std::ifstream reader(job);
    EXPECT_TRUE(IsJobFileReady(job));
}

TEST_F(JobFilesTest, ReadinessOfEmptyMissingAndReadOnlyFiles) {
    write("empty", "");
    write("readonly", "job");
    std::filesystem::permissions(path("readonly"), std::filesystem::perms::owner_read);
    EXPECT_FALSE(IsJobFileReady(path("empty")));
    EXPECT_FALSE(IsJobFileReady(path("missing")));
    EXPECT_FALSE(IsJobFileReady(dir_.string()));
    if (::geteuid() != 0) {  // root may write anything
        EXPECT_FALSE(IsJobFileReady(path("readonly")));
    }
    DeleteFileQuietly(path("missing"));
}

TEST_F(JobFilesTest, PatternsAndJobNames) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    for (const Case c : {Case{"a.txt", "*.txt", true}, Case{".txt", "*.txt", true},
                         Case{"a.txt.bak", "*.txt", false}, Case{"print.10", "print.?", false},
                         Case{"print.1", "print.?", true}, Case{"ab", "a*b*", true},
                         Case{"axxbyyc", "a*b*c", true}, Case{"axxbyy", "a*b*c", false}}) {
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    }
    const JobPlace place = jobPlace("c:\\pos\\", "print");
    EXPECT_EQ(place.directory, "c:\\pos\\");
    EXPECT_EQ(place.name, "print");
    EXPECT_TRUE(mayBeJobName("print.10", place));
    EXPECT_FALSE(mayBeJobName("printer.1", place));
    EXPECT_FALSE(mayBeJobName("print.1.result", place));
    EXPECT_FALSE(mayBeJobName("print.11", place));
    EXPECT_EQ(jobPlace("", "print").directory, "");
}

TEST_F(JobFilesTest, JournalKeepsTheLatestJobsWithinItsBound) {
    JobJournal journal(path("journal"), 4);
    journal.load();
    for (int n = 1; n <= 10; ++n) {
        const std::string name = "print." + std::to_string(n);
        write(name, "job " + name);
        const auto print = fingerprintOf(path(name));
        journal.markStarted(path(name), *print);
        journal.markDone(path(name), *print);
    }
    JobJournal reread(path("journal"), 4);
    EXPECT_TRUE(reread.load().empty());
    EXPECT_FALSE(reread.isProcessed(path("print.6")));  // forgotten: only four are kept
    EXPECT_TRUE(reread.isProcessed(path("print.7")));
    EXPECT_TRUE(reread.isProcessed(path("print.10")));
    EXPECT_LE(std::filesystem::file_size(path("journal")), 8u * 80u);

    // A line cut short by a crash is passed over.
    std::ofstream(path("journal"), std::ios::app) << "D 12 34";
    JobJournal torn(path("journal"), 4);
    EXPECT_TRUE(torn.load().empty());
    EXPECT_TRUE(torn.isProcessed(path("print.10")));
}

TEST_F(JobFilesTest, ConversionHelperRunsInTheWorkingDirectoryOrIsReported) {
    std::string error;
    EXPECT_FALSE(driver::startConversionHelper(dir_.string(), error));
    EXPECT_NE(error.find("cop2fis.sh"), std::string::npos);

    write("cop2fis.sh", "echo converted > converted.txt\n");
    ASSERT_TRUE(driver::startConversionHelper(dir_.string(), error)) << error;
    for (int i = 0; i < 200 && !std::filesystem::exists(path("converted.txt")); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(std::filesystem::exists(path("converted.txt")));
}

}  // namespace
}  // namespace merovan::jobs
