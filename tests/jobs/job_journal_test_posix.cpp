#include <gmock/gmock.h>
#include <sys/stat.h>

#include "core/jobs/job_journal.h"
#include "support/job_dir_fixture.h"
#include "support/read_file.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class JournalTest : public JobFilesTest {
  protected:
    std::string journalPath() const { return path("merovan.jnl"); }

    // Writes a job and returns the fingerprint of what is now on disk.
    JobFingerprint job(const std::string& name, const std::string& text) const {
        write(name, text);
        const auto file = common::readRegularFile(path(name), 1 << 20);
        return {file->stamp, hashJobBytes(file->bytes)};
    }

    std::vector<JournalLine> linesOnDisk() const {
        std::ifstream in(journalPath(), std::ios::binary);
        std::vector<JournalLine> lines;
        for (std::string text; std::getline(in, text);) {
            lines.push_back(parseJournalLine(text).value());
        }
        return lines;
    }

    std::string error_;
    std::string problem_;
};

TEST_F(JournalTest, LinesKeepAnyPathAndRefuseAnyDamage) {
    JournalLine line{JournalMark::Closing,
                     {{1, 2, -3, 4, 5}, 0xfedcba9876543210ULL},
                     "/pos/a job%20#1\t\xe1\xe2",
                     ""};
    std::string text = formatJournalLine(line);
    ASSERT_TRUE(text.ends_with('\n'));
    text.pop_back();
    ASSERT_TRUE(parseJournalLine(text));
    EXPECT_EQ(formatJournalLine(*parseJournalLine(text)), text + '\n');
    line.resultFile = "-";
    EXPECT_EQ(parseJournalLine(formatJournalLine(line).substr(0, text.size() + 2))->resultFile,
              "-");
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        EXPECT_FALSE(parseJournalLine(text.substr(0, cut))) << cut;
    }
    std::string flipped = text;
    flipped[3] ^= 1;
    EXPECT_FALSE(parseJournalLine(flipped));
    EXPECT_FALSE(parseJournalLine("D 12 34 0123456789abcdef /old/format/line"));
}

TEST_F(JournalTest, ManyUnfinishedJobsComeBackOldestFirstUntilDone) {
    std::vector<JobFingerprint> prints;
    {
        JobJournal journal(journalPath());
        EXPECT_THAT(journal.load(problem_), IsEmpty());
        for (int n = 0; n < 300; ++n) {
            const std::string name = "job" + std::to_string(1000 - n);  // name order is not age
            prints.push_back(job(name, "job " + name));
            ASSERT_TRUE(journal.markStarted(path(name), prints.back(), "res" + name, error_));
        }
        // A closing payment that may have gone out is remembered across the crash.
        ASSERT_TRUE(journal.markClosing(path("job1000"), error_));
    }
    JobJournal journal(journalPath());
    const auto interrupted = journal.load(problem_);
    EXPECT_EQ(problem_, "");
    ASSERT_EQ(interrupted.size(), 300u);
    for (int n = 0; n < 300; ++n) {
        const std::string name = "job" + std::to_string(1000 - n);
        EXPECT_EQ(interrupted[n].jobPath, path(name));
        EXPECT_EQ(interrupted[n].resultFile, "res" + name);
        EXPECT_EQ(interrupted[n].closingSent, n == 0);
        EXPECT_TRUE(journal.isProcessed(path(name), prints[n]));
        ASSERT_TRUE(journal.markDone(interrupted[n].jobPath, error_));
    }
    JobJournal reread(journalPath());
    EXPECT_THAT(reread.load(problem_), IsEmpty());
    EXPECT_EQ(reread.size(), 300u);
    EXPECT_TRUE(reread.isProcessed(path("job1000"), prints[0]));
}

TEST_F(JournalTest, EachMarkCarriesItsOwnJobsFingerprint) {
    JobJournal journal(journalPath());
    journal.load(problem_);
    const auto one = job("print.1", "first receipt");
    const auto two = job("print.2", "second receipt, longer");
    ASSERT_TRUE(journal.markStarted(path("print.1"), one, "r1", error_));
    ASSERT_TRUE(journal.markStarted(path("print.2"), two, "r2", error_));
    ASSERT_TRUE(journal.markClosing(path("print.1"), error_));
    ASSERT_TRUE(journal.markDone(path("print.1"), error_));

    const auto lines = linesOnDisk();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].jobPath, path("print.1"));
    EXPECT_EQ(lines[2].print, one);
    EXPECT_EQ(lines[3].mark, JournalMark::Done);
    EXPECT_EQ(lines[3].print, one);
    EXPECT_EQ(lines[3].resultFile, "r1");

    JobJournal reread(journalPath());
    const auto interrupted = reread.load(problem_);
    ASSERT_EQ(interrupted.size(), 1u);
    EXPECT_EQ(interrupted[0].jobPath, path("print.2"));
    EXPECT_TRUE(reread.isProcessed(path("print.1"), one));
    EXPECT_FALSE(reread.isProcessed(path("print.1"), two));
    EXPECT_TRUE(reread.knowsStamp(path("print.1"), one.stamp));
    EXPECT_FALSE(reread.markClosing(path("never.started"), error_));
    EXPECT_THAT(error_, HasSubstr("never.started"));
}

TEST_F(JournalTest, ForgetsOnlyJobsThatAreGoneOrChangedAndStaysShort) {
    constexpr std::size_t kKept = 120;
    JobJournal journal(journalPath());
    journal.load(problem_);
    std::vector<JobFingerprint> prints;
    // Jobs left in place are remembered however many follow.
    for (std::size_t n = 0; n < kKept; ++n) {
        const std::string name = "kept" + std::to_string(n);
        prints.push_back(job(name, name));
        ASSERT_TRUE(journal.markStarted(path(name), prints.back(), "", error_));
        ASSERT_TRUE(journal.markDone(path(name), error_));
    }
    for (std::size_t n = 0; n < 2 * kKept; ++n) {
        const std::string name = "gone" + std::to_string(n);
        ASSERT_TRUE(journal.markStarted(path(name), job(name, name), "", error_));
        ASSERT_TRUE(journal.markDone(path(name), error_));
        fs::remove(path(name));
    }
    const auto rewritten = job("kept7", "a new job under an old name");
    ASSERT_TRUE(journal.markStarted(path("unfinished"), job("unfinished", "u"), "", error_));
    fs::remove(path("unfinished"));

    JobJournal reread(journalPath());
    ASSERT_EQ(reread.load(problem_).size(), 1u);  // kept until done, even with its file gone
    for (std::size_t n = 0; n < kKept; ++n) {
        if (n != 7) {
            EXPECT_TRUE(reread.isProcessed(path("kept" + std::to_string(n)), prints[n])) << n;
        }
    }
    EXPECT_FALSE(reread.isProcessed(path("kept7"), rewritten));
    EXPECT_FALSE(reread.isProcessed(path("gone0"), prints[0]));
    // Bounded by the jobs still there, not by the jobs ever printed.
    EXPECT_LE(linesOnDisk().size(), 2 * kKept + 64u + 2u);
    EXPECT_GE(linesOnDisk().size(), kKept);
}

TEST_F(JournalTest, DamageIsReportedKeptAsideAndTheGoodRecordsKept) {
    const auto one = job("print.1", "one");
    const auto two = job("print.2", "two");
    {
        JobJournal journal(journalPath());
        journal.load(problem_);
        ASSERT_TRUE(journal.markStarted(path("print.1"), one, "", error_));
        ASSERT_TRUE(journal.markDone(path("print.1"), error_));
        ASSERT_TRUE(journal.markStarted(path("print.2"), two, "", error_));
    }
    const std::string good = testing::readFile(journalPath());

    // A line cut short by a crash is what a crash leaves: no damage, and the file is whole again.
    std::ofstream(journalPath(), std::ios::app) << "D 1 2 3";
    JobJournal torn(journalPath());
    EXPECT_EQ(torn.load(problem_).size(), 1u);
    EXPECT_EQ(problem_, "");
    EXPECT_FALSE(fs::exists(journalPath() + ".bad"));
    EXPECT_EQ(linesOnDisk().size(), 2u);

    struct Case {
        const char* what;
        std::string text;
    };
    const std::string overlong(kMaxJournalLineBytes + 10, 'x');
    for (const Case& c : {Case{"garbage", "\x01\x02 garbage\n" + good},
                          Case{"overlong", good.substr(0, good.find('\n') + 1) + overlong + "\n" +
                                               good.substr(good.find('\n') + 1)},
                          Case{"zeros", std::string(5000, '\0') + "\n" + good}}) {
        SCOPED_TRACE(c.what);
        std::ofstream(journalPath(), std::ios::binary | std::ios::trunc) << c.text;
        JobJournal journal(journalPath());
        const auto interrupted = journal.load(problem_);
        EXPECT_THAT(problem_, HasSubstr(".bad"));
        EXPECT_EQ(fs::file_size(journalPath() + ".bad"), c.text.size());
        ASSERT_EQ(interrupted.size(), 1u);
        EXPECT_TRUE(journal.isProcessed(path("print.1"), one));
        EXPECT_EQ(linesOnDisk().size(), 2u);  // rewritten from the good records
    }
}

TEST_F(JournalTest, AJournalThatIsNoFileIsSetAsideWithoutHanging) {
    const auto one = job("print.1", "one");
    for (const char* kind : {"fifo", "device", "directory"}) {
        SCOPED_TRACE(kind);
        fs::remove_all(journalPath());
        fs::remove_all(journalPath() + ".bad");
        if (std::string(kind) == "fifo") {
            ASSERT_EQ(::mkfifo(journalPath().c_str(), 0600), 0);
        } else if (std::string(kind) == "device") {
            fs::create_symlink("/dev/zero", journalPath());
        } else {
            fs::create_directory(journalPath());
        }
        JobJournal journal(journalPath());
        EXPECT_THAT(journal.load(problem_), IsEmpty());
        EXPECT_THAT(problem_, HasSubstr("merovan.jnl"));
        EXPECT_TRUE(fs::exists(fs::symlink_status(journalPath() + ".bad")));
        EXPECT_TRUE(journal.markStarted(path("print.1"), one, "", error_)) << error_;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(journalPath())));
    }
}

TEST_F(JournalTest, AnEarlierVersionsJournalKeepsTheJobsLeftInPlace) {
    const auto kept = job("print.1", "printed before the update");
    job("print.2", "changed since");
    const auto mtime = [&](const std::string& name) {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   fs::last_write_time(path(name)).time_since_epoch())
            .count();
    };
    char hash[17];
    std::snprintf(hash, sizeof hash, "%llx",
                  static_cast<unsigned long long>(hashJobBytes("printed before the update")));
    std::ofstream(journalPath(), std::ios::binary)
        << "D 25 " << mtime("print.1") << ' ' << hash << ' ' << path("print.1") << "\n"
        << "D 25 " << mtime("print.2") << ' ' << hash << ' ' << path("print.2") << "\n"
        << "D 3 4 abc " << path("gone") << "\n";
    JobJournal journal(journalPath());
    EXPECT_THAT(journal.load(problem_), IsEmpty());
    EXPECT_EQ(problem_, "");
    EXPECT_TRUE(journal.isProcessed(path("print.1"), kept));
    EXPECT_EQ(journal.size(), 1u);
    ASSERT_EQ(linesOnDisk().size(), 1u);  // rewritten in today's form
    EXPECT_EQ(linesOnDisk()[0].print, kept);
}

}  // namespace
}  // namespace merovan::jobs
