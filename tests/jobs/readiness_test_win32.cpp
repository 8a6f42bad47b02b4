#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/driver/helper_program.h"
#include "core/jobs/readiness.h"
#include "support/job_dir_fixture.h"

namespace merovan::jobs {
namespace {

using namespace std::chrono_literals;

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

TEST_F(JobFilesTest, ConversionHelperRunsInTheWorkingDirectoryOrIsReported) {
    const auto missing = driver::startConversionHelper(path(""));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().what.find("cop2fis.bat"), std::string::npos);

    write("cop2fis.bat", "echo converted> converted.txt\r\n");
    const auto started = driver::startConversionHelper(dir_.string());
    ASSERT_TRUE(started) << started.error().what;
    for (int i = 0; i < 500 && !std::filesystem::exists(path("converted.txt")); ++i) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(std::filesystem::exists(path("converted.txt")));
}

}  // namespace
}  // namespace merovan::jobs
