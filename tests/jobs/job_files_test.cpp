#include <gtest/gtest.h>

#include "core/jobs/job_files.h"

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

}  // namespace
}  // namespace merovan::jobs
