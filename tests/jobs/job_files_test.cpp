#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/driver/helper_program.h"
#include "core/jobs/job_files.h"
#include "support/job_dir_fixture.h"

namespace merovan::jobs {
namespace {

TEST(JobNames, PatternsAndJobNames) {
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
    EXPECT_TRUE(mayBeJobName("print.10", place));
    EXPECT_FALSE(mayBeJobName("printer.1", place));
    EXPECT_FALSE(mayBeJobName("print.1.result", place));
    EXPECT_FALSE(mayBeJobName("print.11", place));
    EXPECT_EQ(jobPlace("", "print").directory, "");
}

TEST_F(JobFilesTest, ConversionHelperRunsInTheWorkingDirectoryOrIsReported) {
#ifdef _WIN32
    const std::string helper = "cop2fis.bat", script = "echo converted> converted.txt\r\n";
#else
    const std::string helper = "cop2fis.sh", script = "echo converted > converted.txt\n";
#endif
    const auto missing = driver::startConversionHelper(path(""));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().what.find(helper), std::string::npos) << missing.error().what;

    write(helper, script);
    const auto started = driver::startConversionHelper(dir_.string());
    ASSERT_TRUE(started) << started.error().what;
    for (int i = 0; i < 500 && !std::filesystem::exists(path("converted.txt")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(std::filesystem::exists(path("converted.txt")));
}

}  // namespace
}  // namespace merovan::jobs
