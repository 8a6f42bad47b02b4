#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/common/regular_file.h"
#include "support/temp_dir.h"

namespace merovan::common {
namespace {

class RegularFileTest : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return dir_.file(name); }

    testing::TempDir dir_;
};

TEST_F(RegularFileTest, AppendsAndReadsAtMostTheLimitAndSaysWhenThereWasMore) {
    ASSERT_TRUE(appendToRegularFile(path("job"), "01234"));  // made by the first append
    ASSERT_TRUE(appendToRegularFile(path("job"), "56789"));
    auto whole = readRegularFile(path("job"), 10);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->bytes, "0123456789");
    EXPECT_FALSE(whole->truncated);
    EXPECT_EQ(whole->stamp.size, 10U);
    auto cut = readRegularFile(path("job"), 4);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->bytes, "0123");
    EXPECT_TRUE(cut->truncated);
}

TEST_F(RegularFileTest, RefusesFifosDirectoriesAndMissingFilesWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    FileError error;
    EXPECT_FALSE(readRegularFile(path("fifo"), 100, &error));
    EXPECT_EQ(error.text, path("fifo") + ": not a regular file");
    EXPECT_FALSE(appendToRegularFile(path("fifo"), "x", &error));
    EXPECT_FALSE(regularFileStamp(dir_.path.string(), &error));
    EXPECT_FALSE(error.missing);
    EXPECT_FALSE(readRegularFile(path("absent"), 100, &error));
    EXPECT_TRUE(error.missing);
}

}  // namespace
}  // namespace merovan::common
