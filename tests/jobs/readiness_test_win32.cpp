#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "core/jobs/readiness.h"
#include "support/job_dir_fixture.h"

namespace merovan::jobs {
namespace {

TEST_F(JobFilesTest, AJobHeldOpenForWritingIsNotReadyUntilClosed) {
    write("print.1", "job");
    // The most tolerant writer there is: it lets others read and write beside it.
    HANDLE writer =
        CreateFileA(path("print.1").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(isOpenForWriting(path("print.1")));
    EXPECT_FALSE(isJobFileReady(path("print.1")));
    CloseHandle(writer);
    EXPECT_FALSE(isOpenForWriting(path("print.1")));
    EXPECT_TRUE(isJobFileReady(path("print.1")));
}

}  // namespace
}  // namespace merovan::jobs
