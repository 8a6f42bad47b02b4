#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/jobs/job_files.h"
#include "core/jobs/job_journal.h"
#include "core/jobs/readiness.h"
#include "driver/job_dir_fixture.h"

namespace merovan::jobs {
namespace {

TEST_F(JobFilesTest, EmptyMissingAndDirectoryAreNotReady) {
    write("empty", "");
    write("job", "job");
    EXPECT_FALSE(IsJobFileReady(path("empty")));
    EXPECT_FALSE(IsJobFileReady(path("missing")));
    EXPECT_FALSE(IsJobFileReady(dir_.string()));
    EXPECT_TRUE(IsJobFileReady(path("job")));
    DeleteFileQuietly(path("missing"));
    DeleteFileQuietly(path("job"));
    EXPECT_FALSE(std::filesystem::exists(path("job")));
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

}  // namespace
}  // namespace merovan::jobs
