#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/jobs/line_commands.h"
#include "core/jobs/run_job.h"
#include "core/link/link.h"
#include "core/supervision/reports.h"
#include "support/fake_clock.h"
#include "support/read_file.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;

class JobInterpreterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(MEROVAN_BINARY_DIR) / "getdata_test" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        link_.setLinkAddress("com1:9600");
        settings_.workDir = dir_.string();
    }

    std::string writeJob(const std::string& body) {
        const fs::path path = dir_ / "job.1";
        std::ofstream(path, std::ios::binary)
            << "resFile:  " << (dir_ / "result.txt").string() << "\r\n"
            << body;
        return path.string();
    }

    std::string result() const { return testing::readFile(dir_ / "result.txt"); }
    // The commands sent while run ran.
    std::vector<std::string> sentBy(const std::function<void()>& run) {
        const std::size_t before = transport_.sent().size();
        run();
        return {transport_.sent().begin() + static_cast<std::ptrdiff_t>(before),
                transport_.sent().end()};
    }
    // The register answers the given command with answer, any other with fallback.
    void answer(const std::string& command, const std::string& answer,
                const std::string& fallback) {
        transport_.setResponder([=](const std::string& sent) {
            return std::vector<testing::ScriptedTransport::Piece>{
                {std::chrono::milliseconds(0), sent == command ? answer : fallback}};
        });
    }

    fs::path dir_;
    testing::FakeClock clock_;
    testing::RecordingOperator op_;
    testing::ScriptedTransport transport_{clock_};
    link::Link link_{op_, clock_, transport_.factory()};
    RegisterSession session_{link_, op_, clock_};
    ProgramFlags flags_;
    supervision::DailyZReport dailyReport_{session_, op_};
    JobContext context_{session_, op_, clock_, flags_, dailyReport_};
    JobSettings settings_ = [] {
        JobSettings settings;
        settings.receipt.printDescription = settings::Flag::On;
        settings.receipt.comments = settings::Comments::On;
        settings.receipt.currency = settings::Currency::AsJob;
        return settings;
    }();
};

TEST_F(JobInterpreterTest, TheClosingMarkIsAskedOnceAndARefusalSendsNoPayment) {
    const std::string job = writeJob(" to    1  6.10\r\n to    1  1.00\r\n pay  1\r\n");
    const std::vector<std::string> clean = {"KXCL",    "KXCL", "KXST", "KX610T1", "KXST",
                                            "KX100T1", "KXT1", "KXCL", "KXRE"};
    EXPECT_EQ(sentBy([&] { interpretJobFile(job, settings_, context_); }), clean)
        << "no mark asked for: the traffic of today";

    for (const bool made : {true, false}) {
        SCOPED_TRACE(made);
        fs::remove(dir_ / "result.txt");
        int asked = 0;
        context_.beforeClosingPayment = [&] {
            ++asked;
            // Nothing that may close the receipt has gone out yet.
            EXPECT_EQ(transport_.sent().back(), "KXST");
            return made;
        };
        const auto sent = sentBy([&] { interpretJobFile(job, settings_, context_); });
        EXPECT_EQ(asked, 1);
        if (made) {
            EXPECT_EQ(sent, clean);
            EXPECT_EQ(result().find("Err = "), std::string::npos);
        } else {
            EXPECT_EQ(sent, (std::vector<std::string>{"KXCL", "KXCL", "KXST", "KXVOID", "KXST",
                                                      "KXCL", "KXRE"}));
            EXPECT_NE(result().find("Err = -5, [KX610T1] DateTime = "), std::string::npos);
            EXPECT_NE(result().find("exitcode = 0"), std::string::npos);
        }
    }
}

TEST_F(JobInterpreterTest, NoJobContentCanBreakTheInterpreter) {
    // Every tag cut short at every column (one job each, since a table line may end its
    // job), binary bytes, 100 KB lines, a last line without its CR LF.
    std::vector<std::string> jobs;
    for (const char* tag : {"PLU", "MKZ", "dis", "sut", "mod", "to",  "com", "frt", "can", "voi",
                            "ltb", "foo", "TBO", "TBC", "TBT", "TPT", "TBS", "PRG", "snd", "pay"}) {
        const std::string full = std::string(" ") + tag + "  -12.5% 1 2 " + std::string(90, '9');
        std::string body;
        for (std::size_t length = 1; length <= full.size(); ++length) {
            body += full.substr(0, length) + "\r\n";
        }
        jobs.push_back(body);
    }
    std::string binary;
    for (int b = 1; b < 256; ++b) {
        binary += std::string(" PLU ") + std::string(70, static_cast<char>(b)) + "\n";
    }
    binary += std::string(" foo ") + std::string(100 * 1024, '\x01') + "\r\n";
    binary += " PLU \x80\x81\xff" + std::string(100 * 1024, '\xC1') + "\r\n pay  1";
    jobs.push_back(binary);

    for (const std::string& body : jobs) {
        fs::remove(dir_ / "result.txt");
        const JobOutcome outcome = interpretJobFile(writeJob(body), settings_, context_);
        EXPECT_TRUE(outcome.readable);
        EXPECT_NE(result().find("exitcode = "), std::string::npos) << body.substr(0, 20);
        EXPECT_FALSE(flags_.footerPending || flags_.transferPending ||
                     flags_.partialPaymentPending);
    }
}

// Missing, corrupt and huge jobs are the driver's to refuse (tests/driver): it reads the job.
TEST_F(JobInterpreterTest, AnUnwritableResultIsLoggedOnce) {
    const fs::path job = dir_ / "job.2";
    std::ofstream(job, std::ios::binary)
        << "resFile:  " << (dir_ / "gone" / "r.txt").string() << "\r\n com A\r\n";
    EXPECT_TRUE(interpretJobFile(job.string(), settings_, context_).readable);
    EXPECT_EQ(op_.logLines().size(), 1u);
}

TEST_F(JobInterpreterTest, ProgressFollowsTheLinesOfTheJob) {
    interpretJobFile(writeJob(" voi\r\n frt\r\n"), settings_, context_);
    // The header line and two job lines.
    EXPECT_EQ(op_.progressTexts(),
              (std::vector<std::string>{" Ολοκληρώθηκε το 33%", " Ολοκληρώθηκε το 67%",
                                        " Ολοκληρώθηκε το 100%"}));
}

TEST_F(JobInterpreterTest, ReportsFrameTheirCommandWithStatusTextsWhateverTheOutcome) {
    answer("KX5T1", "DE1005\x04", "OK\r\x04");
    // Only the financial X report's text has its accent where it belongs.
    const std::string waiting = "Εκτέλεση Ισοζυγίου!!! Παρακαλώ περιμένετε για την ";
    using supervision::Report;
    const std::tuple<Report, const char*, std::string> cases[] = {
        {Report::XFinancial, "KX0T1", waiting + "ολοκλήρωση του"},
        {Report::XPeriodic, "KX5T1", waiting + "ολοκληρωσή του"},
        {Report::ZDaily, "KX021T1", waiting + "ολοκληρωσή του"},
        {Report::ZPeriodic, "KX521T1", waiting + "ολοκληρωσή του"}};
    for (const auto& [report, command, status] : cases) {
        op_.clear();
        EXPECT_EQ(sentBy([&] { supervision::runReport(session_, op_, report); }).at(0), command);
        EXPECT_EQ(op_.statuses().front(), status);
        EXPECT_EQ(op_.status(), "Το Ισοζύγιο ολοκληρώθηκε");
        EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
        EXPECT_TRUE(op_.driverStates().empty());  // the caller decides the controls
    }
    supervision::clearRegisterError(session_);
    EXPECT_EQ(transport_.sent().back(), "KXCL");
}

// The zero-amount rule needs an amount: a second-currency payment has none and goes out after
// any subtotal, while a zero that is given still waits for a zero subtotal. A subtotal is read
// with either decimal mark.
TEST_F(JobInterpreterTest, ZeroRuleAppliesOnlyToAGivenAmount) {
    settings_.receipt.currency = settings::Currency::Secondary;
    settings_.decimalSeparator = ".";
    const auto payments = [&](const std::string& amount) {
        LineFields line;
        line.linetype = kLinePayment;
        line.price = amount;
        return sentBy([&] { sendLineCommands(line, settings_, context_); });
    };
    const std::vector<std::string> secondCurrency{"KXST", "KXT2"};
    for (const auto& [subtotal, zero] : {std::pair{"0,00", true}, std::pair{"2,50", false}}) {
        interpretJobFile(writeJob(std::string(" sut  ") + subtotal + "\r\n"), settings_, context_);
        EXPECT_EQ(flags_.zeroTotalReceipt, zero) << subtotal;
        EXPECT_EQ(payments(""), secondCurrency) << subtotal;
        EXPECT_EQ(payments("0"), zero ? secondCurrency : std::vector<std::string>{}) << subtotal;
    }
}

// An empty raw command is not sent (a bare "KX" would cost 20 s of silence); the POS gets an
// "Err = " line naming the line, and for "snd" the reply line it waits for.
TEST_F(JobInterpreterTest, EmptyRawCommandsAreNotSentAndLeaveAnErrLine) {
    interpretJobFile(writeJob(" snd\r\n PRG      \r\n prg  KY \r\n snd  CL\r\n"), settings_,
                     context_);
    EXPECT_EQ(transport_.sent(), (std::vector<std::string>{"KXCL", "KXCL", "KXCL", "KXRE"}));
    std::string text = result();
    for (const char* expected : {"Err = -305, [line 2 snd] DateTime = ", "sndReply = -305;\r\n",
                                 "Err = -305, [line 3 PRG] DateTime = ",
                                 "Err = -305, [line 4 prg] DateTime = ", "sndReply = 0;OK\r\n"}) {
        const std::size_t at = text.find(expected);
        ASSERT_NE(at, std::string::npos) << expected << " in\n" << result();
        text.erase(0, at);
    }
    ASSERT_EQ(op_.messages().size(), 3u);
    EXPECT_NE(op_.messages()[1].text.find("Κενή εντολή PRG, δεν στάλθηκε"), std::string::npos);
}

// A failure after the job has ended is no part of it: the result file the POS reads for that
// job stays as the job left it, and is not made again once the POS has deleted it.
TEST_F(JobInterpreterTest, FailuresAfterAJobStayOutOfItsResultFile) {
    interpretJobFile(writeJob(" voi\r\n"), settings_, context_);
    const std::string finished = result();
    ASSERT_NE(finished.find("exitcode = 0"), std::string::npos);
    answer("KX0T1", "DE2\x04", "DE1005\x04");
    supervision::runReport(session_, op_, supervision::Report::XFinancial);
    EXPECT_EQ(result(), finished);
    fs::remove(dir_ / "result.txt");
    supervision::clearRegisterError(session_);
    EXPECT_FALSE(fs::exists(dir_ / "result.txt"));

    const auto logged = op_.logLines();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_TRUE(logged[0].starts_with("Err = 2, [KX0T1] DateTime = ")) << logged[0];
    EXPECT_TRUE(logged[1].starts_with("Err = 1005, [KXCL] DateTime = ")) << logged[1];
    // Each was shown too.
    EXPECT_EQ(op_.messages().size(), 2u);
}

}  // namespace
}  // namespace merovan::jobs
