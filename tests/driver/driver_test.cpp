#include <gmock/gmock.h>

#include <sstream>

#include "core/common/codepage.h"
#include "core/common/text.h"
#include "core/jobs/job_journal.h"
#include "core/jobs/readiness.h"
#include "driver_fixture.h"
#include "support/read_file.h"
#include "tools/register/scenario.h"

namespace merovan::testing {
namespace {

using common::DriverState;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

using StartUp = DriverFixture;
constexpr auto kNumbered = settings::JobFiles::Numbered;
constexpr auto kSingle = settings::JobFiles::Single;

TEST_F(StartUp, RegisterAnswersAtTheFirstTick) {
    struct Case {
        bool autoStart;
        bool startWhenOnline;
        bool polling;
        bool windowShown;
    };
    for (const Case c : {Case{false, false, false, true}, Case{true, false, true, false},
                         Case{false, true, true, true}}) {
        SCOPED_TRACE(c.autoStart);
        op_.clear();
        params_.autoStart = c.autoStart;
        driver::DriverOptions options;
        if (c.startWhenOnline) {
            options.startWhenOnline = true;
        }
        makeDriver(options);
        ASSERT_TRUE(driver_->load());
        EXPECT_EQ(driver_->state(), DriverState::Searching);
        EXPECT_TRUE(driver_->supervisionTimer().enabled);

        driver_->supervisionTick();
        EXPECT_EQ(register_.sent().back(), "KXCL");
        EXPECT_FALSE(driver_->supervisionTimer().enabled);
        EXPECT_EQ(driver_->polling(), c.polling);
        EXPECT_EQ(op_.windowShown(), c.windowShown);
        EXPECT_EQ(driver_->state(), c.polling ? DriverState::Printing : DriverState::Ready);
    }
}

TEST_F(StartUp, MissingParamFileEndsTheProgram) {
    paramsReadable_ = false;
    makeDriver();
    EXPECT_FALSE(driver_->load());
    ASSERT_EQ(op_.messages().size(), 1u);
    EXPECT_NE(op_.messages()[0].text.find("param.ini"), std::string::npos);
    EXPECT_THAT(register_.sent(), IsEmpty());
}

TEST_F(StartUp, ABadLocationIsSaidAtStartAndTheDriverStillLooksForTheRegister) {
    params_.location = path("missing/");
    makeDriver();
    ASSERT_TRUE(driver_->load());
    ASSERT_EQ(op_.logLines().size(), 1u);
    EXPECT_TRUE(op_.logLines()[0].starts_with("[location] " + path("missing/")))
        << op_.logLines()[0];
    EXPECT_TRUE(driver_->supervisionTimer().enabled);
}

TEST_F(StartUp, ThreeFailedTicksGoOffLineAndErrorClearBringsItBack) {
    silenceRegister();
    makeDriver();
    ASSERT_TRUE(driver_->load());
    driver_->supervisionTick();  // one attempt: four sends, twenty seconds, one message box
    EXPECT_EQ(register_.sent().size(), 4u);
    EXPECT_EQ(op_.messages().size(), 1u);
    driver_->supervisionTick();
    driver_->supervisionTick();
    EXPECT_EQ(register_.sent().size(), 4u);  // failed ticks only count
    EXPECT_EQ(op_.status(), "Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !");
    driver_->supervisionTick();
    EXPECT_EQ(driver_->state(), DriverState::Offline);
    driver_->supervisionTick();
    EXPECT_EQ(register_.sent().size(), 4u);

    answerEveryCommand();
    driver_->clearError();
    driver_->supervisionTick();
    EXPECT_EQ(driver_->state(), DriverState::Ready);
}

TEST_F(StartUp, HeadlessRetriesAnOffLineRegisterEveryTenSeconds) {
    silenceRegister();
    driver::DriverOptions options;
    options.retryWhileOffline = 10s;
    options.startWhenOnline = true;
    makeDriver(options);
    goOffline();
    const auto sentOffline = register_.sent().size();
    clock_.advance(5s);
    driver_->supervisionTick();
    EXPECT_EQ(register_.sent().size(), sentOffline);
    const auto boxes = op_.messages().size();
    clock_.advance(6s);
    driver_->supervisionTick();  // asked again, quietly
    EXPECT_GT(register_.sent().size(), sentOffline);
    EXPECT_EQ(op_.messages().size(), boxes);

    answerEveryCommand();
    clock_.advance(10s);
    driver_->supervisionTick();
    EXPECT_TRUE(driver_->polling());
}

using StartStop = DriverFixture;

// Searching, ready and printing are the presenter's report-menu test (tests/desktop), on this
// driver; what is left is a report from stopped and the tray's Z report.
TEST_F(StartStop, ReportsRunFromStoppedAndTheTrayZReportStopsPrinting) {
    startPolling();
    driver_->stopPrinting();
    op_.clear();
    driver_->report(supervision::Report::XPeriodic);
    EXPECT_EQ(register_.sent().back(), "KX5T1");
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
    EXPECT_THAT(op_.driverStates(), ElementsAre(DriverState::Reporting, DriverState::Stopped));
    // A refused report still says the state: the window holds its menu off until it hears.
    driver_->startPrinting();
    op_.clear();
    driver_->report(supervision::Report::XPeriodic);
    EXPECT_THAT(op_.driverStates(), ElementsAre(DriverState::Printing));

    driver_->trayZReport();  // stops printing first, then the daily Z
    EXPECT_EQ(register_.sent().back(), "KX021T1");
    EXPECT_FALSE(driver_->polling());
}

TEST_F(StartStop, ZReportInsideAJobKeepsPrinting) {
    realInterpreter_ = true;
    startPolling();
    write("print.1", "resFile:  " + path("result.txt") + "\r\n MKZ\r\n");
    driver_->pollTick();
    EXPECT_NE(std::find(register_.sent().begin(), register_.sent().end(), "KX021T1"),
              register_.sent().end());
    EXPECT_EQ(driver_->state(), DriverState::Printing);
    EXPECT_TRUE(driver_->polling());
    driver_->trayStop();
    EXPECT_FALSE(driver_->polling());
}

using Polling = DriverFixture;

TEST_F(Polling, NumberedJobsAreTakenInOrderAndEachOnlyOnce) {
    startPolling();
    write("print.1", "");
    write("print.3", "job three");
    write("print.7", "job seven");
    write("end.txt", "");
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3"));
    EXPECT_FALSE(std::filesystem::exists(path("end.txt")));
    EXPECT_EQ(op_.caption(), "Merovan- Αναμονη");
    driver_->pollTick();  // print.3 is still there, unchanged: print.7 is next
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3", "print.7"));
    EXPECT_EQ(op_.receiptCount(), 2);
    EXPECT_EQ(register_.sent().back(), "KXJOB print.7");

    write("print.3", "a new job under the old name");
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3", "print.7", "print.3"));

    // Touched without a change of content: the POS asks for it again.
    std::filesystem::last_write_time(path("print.7"),
                                     std::filesystem::last_write_time(path("print.7")) + 2s);
    driver_->pollTick();
    EXPECT_EQ(jobNames().back(), "print.7");

    makeDriver();  // none printed twice across a restart
    startPolling();
    write("print.8", "job eight");
    pollTicks(2);
    EXPECT_THAT(jobNames(), ElementsAre("print.3", "print.7", "print.3", "print.7", "print.8"));
}

// Jobs cut short by a crash, against a register that keeps receipts and tables.
class Recovery : public DriverFixture {
  protected:
    Recovery() {
        register_.setResponder([this](const std::string& command) {
            std::vector<ScriptedTransport::Piece> pieces;
            if (!silent_) {
                for (auto& piece : sim::respond(scenario_, state_, command)) {
                    pieces.push_back({piece.after, std::move(piece.bytes)});
                }
            }
            return pieces;
        });
    }

    void interrupt(bool closingSent, const std::string& resultFile = "result.txt") {
        leaveInterruptedJob("resFile:  " + path(resultFile) + "\r\n", resultFile, closingSent);
    }
    // `commands`: what a killed driver sent, separated by blanks.
    void registerHolds(const std::string& commands) {
        std::istringstream in(commands);
        for (std::string command; in >> command;) {
            state_.answer(command);
        }
    }
    std::string result() const {
        return common::replaceAll(readFile(path("result.txt")), "\r\n", "\n");
    }

    sim::RegisterState state_;
    sim::Scenario scenario_;
    bool silent_ = false;
};

TEST_F(Recovery, TheRegisterDecidesWhetherAJobIsPrintedAgain) {
    struct Case {
        const char* name;
        const char* held;  // the commands the killed driver left in the register
        bool closingSent;
        bool jobGone;  // the job file was deleted before the restart
        bool printedAgain;
        const char* block;  // the result block after "recAction = ", its date left out
    };
    const Case cases[] = {
        {"receipt left open", "KX250R1COFFEE", false, false, true,
         "voided, printed again\nexitcode = 5\n"},
        {"paid by card, receipt still open", "KX250R1COFFEE", true, false, true,
         "voided, printed again\nrecPayment = 1\nexitcode = 5\n"},
        {"closing payment out, receipt closed", "", true, false, false,
         "complete, not printed again\nexitcode = 0\n"},
        {"nothing reached the register", "", false, false, true,
         "not issued, printed again\nexitcode = 5\n"},
        {"items on a table", "KX12TO KX1100R2STEAK", false, false, false,
         "table closed, not printed again\nrecTable = 12;11.00;1\nexitcode = 3\n"},
        {"job file gone", "", false, true, false,
         "not issued, job file unreadable, not printed\nexitcode = 4\n"},
        {"a table only just opened", "KX12TO", false, false, true,
         "not issued, printed again\nexitcode = 5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path("merovan.jnl"));
        std::filesystem::remove(path("result.txt"));
        jobsRun_.clear();
        state_ = {};
        registerHolds(c.held);
        interrupt(c.closingSent);
        if (c.jobGone) {
            std::filesystem::remove(path("print.1"));
        }
        makeDriver();
        startPolling();
        pollTicks(2);
        EXPECT_EQ(jobsRun_.size(), c.printedAgain ? 1u : 0u);
        const std::string text = result();
        const auto block = text.find("recAction = ");
        ASSERT_NE(block, std::string::npos) << text;
        EXPECT_TRUE(text.starts_with("recovery = ")) << text;
        EXPECT_EQ(text.substr(block + 12), c.block);
        EXPECT_FALSE(state_.receiptOpen());
        EXPECT_FALSE(state_.openTable().has_value());
        EXPECT_THAT(op_.logLines(), Contains(HasSubstr(path("print.1"))));
        EXPECT_EQ(op_.logLines().back(), op_.statuses().back());
    }
    // The void's refusal, expected when no receipt is open, is in no result file.
    EXPECT_EQ(result().find("Err = "), std::string::npos);
}

// A job that named the driver's settings as its result file cannot have them rewritten by a
// crash: the block goes where the job's own lines could go, and nowhere else.
TEST_F(Recovery, TheBlockNeverLandsInTheDriversOwnFiles) {
    write("param.ini", "[port] com1\r\n");
    interrupt(false, "param.ini");
    startPolling();
    driver_->pollTick();
    EXPECT_EQ(readFile(path("param.ini")), "[port] com1\r\n");
    EXPECT_THAT(op_.logLines(), Contains(HasSubstr("Το αρχείο αποτελεσμάτων δεν γράφεται: ")));
}

TEST_F(Recovery, NothingIsDecidedWhileTheRegisterDoesNotAnswer) {
    registerHolds("KX250R1COFFEE");
    interrupt(true);
    startPolling();
    silent_ = true;
    write("print.2", "next customer");
    driver_->pollTick();
    EXPECT_THAT(jobsRun_, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(path("result.txt")));

    silent_ = false;
    pollTicks(2);
    EXPECT_THAT(jobNames(), ElementsAre("print.1", "print.2"));
    EXPECT_NE(result().find("recAction = voided, printed again"), std::string::npos);

    makeDriver();  // recovered once, not at every start
    op_.clear();
    startPolling();
    EXPECT_THAT(op_.logLines(), IsEmpty());
}

TEST_F(Polling, StarPatternTakesTheFirstMatchThatWasNotPrinted) {
    params_.file = "*.txt";
    startPolling();
    write("a.txt", "");
    write("b.txt", "job b");
    write("c.dat", "not a job");
    driver_->pollTick();
    EXPECT_THAT(jobsRun_, IsEmpty());  // a.txt is the candidate, and it is empty

    write("a.txt", "job a");
    pollTicks(3);
    EXPECT_THAT(jobNames(), ElementsAre("a.txt", "b.txt"));
}

TEST_F(Polling, ProgrammingJobsAreDeletedAfterwards) {
    struct Case {
        settings::JobFiles jobFiles;
        const char* file;
        const char* job;
        bool deleted;
    };
    for (const Case c : {Case{kNumbered, "job.prg", "job.prg.1", true},
                         Case{kNumbered, "job.PRG", "job.PRG.1", false},
                         Case{kSingle, "job.PRG.1", "job.PRG.1", true},
                         Case{kNumbered, "print", "print.1", false}}) {
        SCOPED_TRACE(c.job);
        params_.jobFiles = c.jobFiles;
        params_.file = c.file;
        jobsRun_.clear();
        startPolling();
        write(c.job, "PRG");
        driver_->pollTick();
        EXPECT_EQ(jobsRun_.size(), 1u);
        EXPECT_EQ(std::filesystem::exists(path(c.job)), !c.deleted);
        std::filesystem::remove(path(c.job));
    }
}

TEST_F(Polling, SingleFileJobIsProcessedOnceUntilItChanges) {
    params_.jobFiles = settings::JobFiles::Single;
    params_.file = "receipt.job";
    startPolling();
    driver_->pollTick();  // no file yet: idle
    write("receipt.job", "one");
    pollTicks(2);
    EXPECT_EQ(jobsRun_.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(path("receipt.txt")));
    write("receipt.job", "two, longer");
    driver_->pollTick();
    EXPECT_EQ(jobsRun_.size(), 2u);
}

TEST_F(Polling, DirectoryChangesOnlyForJobNamesTriggerATick) {
    startPolling();
    write("print.2", "job");
    driver_->directoryChanged("result.txt", jobs::FileEvent::Closed);
    EXPECT_THAT(jobsRun_, IsEmpty());
    driver_->directoryChanged("print.2", jobs::FileEvent::Written);
    EXPECT_THAT(jobsRun_, IsEmpty());
    driver_->pollTick();  // written to and not closed since: somebody is still writing it
    // Where the system tells of every writer (Windows), the writer's open handle decides.
    EXPECT_EQ(jobsRun_.size(), jobs::platformSeesEveryWriter() ? 1u : 0u);
    driver_->directoryChanged("print.2", jobs::FileEvent::Closed);
    EXPECT_EQ(jobsRun_.size(), 1u);  // and only once
    driver_->stopPrinting();
    write("print.3", "job");
    driver_->directoryChanged("print.3", jobs::FileEvent::Closed);
    EXPECT_EQ(jobsRun_.size(), 1u);
}

TEST_F(Polling, ParamFileMissingOnATickKeepsTheSettingsInForce) {
    startPolling();
    paramsReadable_ = false;
    write("print.1", "job");
    pollTicks(2);
    EXPECT_EQ(jobsRun_.size(), 1u);
    EXPECT_EQ(op_.logLines().size(), 1u);  // said once, not every second
}

using CommandLine = DriverFixture;

TEST_F(CommandLine, OutcomesBecomeExitStatusesAndDoneJobsAreDeleted) {
    makeDriver();
    write("job.txt", "job");
    EXPECT_EQ(runJob("job.txt"), driver::JobDone);
    EXPECT_THAT(register_.sent(), ElementsAre("KXCL", "KXJOB job.txt"));
    EXPECT_FALSE(std::filesystem::exists(path("job.txt")));
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");

    // A missing conversion helper is logged and passed over.
    write("job.txt", "job");
    EXPECT_EQ(runJob("job.txt", std::nullopt, "`"), driver::JobDone);
    ASSERT_EQ(op_.logLines().size(), 1u);
    EXPECT_NE(op_.logLines()[0].find("cop2fis"), std::string::npos);

    // Printed, but left where the POS would take it for one still to print: a directory that
    // is not empty cannot be deleted, not even by root.
    write("job.txt", "job");
    duringJob_ = [](const std::string& jobPath) {
        std::filesystem::remove(jobPath);
        std::filesystem::create_directories(jobPath + "/inside");
    };
    makeDriver();
    EXPECT_EQ(runJob("job.txt"), driver::JobDone);
    ASSERT_EQ(op_.logLines().size(), 2u);
    EXPECT_NE(op_.logLines()[1].find(path("job.txt")), std::string::npos) << op_.logLines()[1];

    std::filesystem::remove_all(path("job.txt"));
    duringJob_ = nullptr;
    write("job.txt", "job");
    nextOutcome_.exitCode = 1;
    makeDriver();
    EXPECT_EQ(runJob("job.txt"), driver::JobAborted);

    // The driver reads the job itself: a missing one never reaches the interpreter.
    makeDriver();
    EXPECT_EQ(runJob("gone.txt"), driver::JobUnreadable);
    ASSERT_FALSE(op_.messages().empty());
    EXPECT_NE(op_.messages().back().text.find("Λάθος : \rΑδυναμία ανάγνωσης"), std::string::npos);
    EXPECT_NE(op_.messages().back().text.find("gone.txt"), std::string::npos);
    EXPECT_EQ(jobsRun_.size(), 4u);
}

TEST_F(CommandLine, KeepsAskingUntilTheRegisterAnswers) {
    int attempts = 0;
    register_.setResponder([&attempts](const std::string& command) {
        std::vector<ScriptedTransport::Piece> pieces;
        if (command != "KXCL" || ++attempts > 9) {
            pieces.push_back({0ms, ScriptedTransport::okReply()});
        }
        return pieces;
    });
    makeDriver();
    write("job.txt", "job");
    EXPECT_EQ(runJob("job.txt"), driver::JobDone);
    EXPECT_EQ(jobsRun_.size(), 1u);
}

}  // namespace
}  // namespace merovan::testing
