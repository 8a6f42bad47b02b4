#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/jobs/result_file.h"
#include "support/temp_dir.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;

class ResultFileTest : public ::testing::Test {
  protected:
    ResultFileTest() {
        fs::create_directories(work_.path / "exchange" / "sub");
        testing::writeBytes(work_.file("param.ini"), "[port] com1\r\n");
        rules_.ownFiles = ownFilesOf(work_.path.string(), "merovan.jnl");
        rules_.allowedDirs = {exchange("")};
    }
    std::string exchange(const std::string& name) const {
        return (work_.path / "exchange" / name).string();
    }
    std::optional<std::string> check(const std::string& path) const {
        return checkResultFile(path, rules_);
    }

    testing::TempDir work_;
    testing::TempDir outside_;
    ResultFileRules rules_;
};

TEST_F(ResultFileTest, ResultFilesInTheAllowedDirectoriesAreTaken) {
    EXPECT_EQ(check(exchange("new.txt")), std::nullopt);
    EXPECT_EQ(check(exchange("sub/r.txt")), std::nullopt);
    EXPECT_EQ(check(exchange("sub/../r.txt")), std::nullopt);
    testing::writeBytes(exchange("old.txt"), "tag = 1\r\n");
    fs::create_symlink(exchange("old.txt"), exchange("link.txt"));
    EXPECT_EQ(check(exchange("link.txt")), std::nullopt);
}

TEST_F(ResultFileTest, EscapesFromTheAllowedDirectoriesAndNonFilesAreRefused) {
    EXPECT_NE(check(exchange("sub/../../escaped.txt")), std::nullopt);
    EXPECT_NE(check(exchange("")), std::nullopt);  // the directory itself
    EXPECT_NE(check(exchange("missing/..")), std::nullopt);
    fs::create_symlink(outside_.file("r.txt"), exchange("out.txt"));
    EXPECT_NE(check(exchange("out.txt")), std::nullopt);
    fs::create_directory_symlink(outside_.path, exchange("away"));
    EXPECT_NE(check(exchange("away/r.txt")), std::nullopt);
    // A directory whose name begins like the allowed one is not inside it.
    fs::create_directories(work_.path / "exchange2");
    EXPECT_NE(check((work_.path / "exchange2" / "r.txt").string()), std::nullopt);

    // Only regular files are result files.
    ASSERT_EQ(::mkfifo(exchange("fifo").c_str(), 0666), 0);
    const auto fifo = check(exchange("fifo"));
    ASSERT_NE(fifo, std::nullopt);
    EXPECT_NE(fifo->find("fifo"), std::string::npos) << *fifo;
    EXPECT_NE(check(exchange("sub")), std::nullopt);
    rules_.allowedDirs.clear();
    EXPECT_NE(check("/dev/null"), std::nullopt);
    EXPECT_NE(check(""), std::nullopt);
}

TEST_F(ResultFileTest, TheDriversOwnFilesAreNeverResultFiles) {
    rules_.allowedDirs.clear();  // not even without confinement
    for (const char* name :
         {"param.ini", "vats.dat", "payeft.dat", "merovan.jnl", "merovan.conf"}) {
        const auto refused = check(work_.file(name));
        ASSERT_NE(refused, std::nullopt) << name;
        EXPECT_NE(refused->find(name), std::string::npos) << *refused;
    }
    EXPECT_NE(check((work_.path / "exchange" / ".." / "param.ini").string()), std::nullopt);
    fs::create_symlink(work_.file("param.ini"), exchange("settings.txt"));
    EXPECT_NE(check(exchange("settings.txt")), std::nullopt);
    fs::create_hard_link(work_.file("param.ini"), exchange("hard.txt"));
    EXPECT_NE(check(exchange("hard.txt")), std::nullopt);
    EXPECT_EQ(check(outside_.file("r.txt")), std::nullopt);
}

}  // namespace
}  // namespace merovan::jobs
