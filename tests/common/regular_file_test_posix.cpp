#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/common/regular_file.h"

namespace merovan::common {
namespace {

class RegularFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/merovan-regular-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
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
    EXPECT_FALSE(regularFileStamp(dir_, &error));
    EXPECT_FALSE(error.missing);
    EXPECT_FALSE(readRegularFile(path("absent"), 100, &error));
    EXPECT_TRUE(error.missing);
}

TEST_F(RegularFileTest, ACopyWithItsTimesKeptHasAnotherStamp) {
    ASSERT_TRUE(appendToRegularFile(path("job"), "same"));
    ASSERT_EQ(std::system(("cp -p '" + path("job") + "' '" + path("copy") + "'").c_str()), 0);
    const auto original = regularFileStamp(path("job"));
    const auto copy = regularFileStamp(path("copy"));
    ASSERT_TRUE(original && copy);
    EXPECT_EQ(original->writeTimeNs, copy->writeTimeNs);
    EXPECT_NE(original->inode, copy->inode);
}

}  // namespace
}  // namespace merovan::common
