#include <gmock/gmock.h>

#include "core/common/canonical_path.h"
#include "core/common/codepage.h"
#include "core/common/regular_file.h"
#include "core/jobs/job_journal.h"
#include "driver_fixture.h"

namespace merovan::testing {
namespace {

using driver::Control;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

using StartUp = DriverFixture;

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
        EXPECT_EQ(op_.caption(), "Merovan- Αναζήτηση");
        EXPECT_EQ(op_.status(), "Εύρεση Φορολογικής Ταμειακής !!! ");
        EXPECT_FALSE(driver_->startEnabled());
        EXPECT_TRUE(driver_->supervisionTimer().enabled);

        driver_->supervisionTick();
        EXPECT_EQ(register_.sent().back(), "KXCL");
        EXPECT_FALSE(driver_->supervisionTimer().enabled);
        EXPECT_EQ(driver_->polling(), c.polling);
        EXPECT_EQ(op_.windowShown(), c.windowShown);
        EXPECT_EQ(op_.caption(), c.polling ? "Merovan- Αναμονή" : "Merovan- Έτοιμο");
        EXPECT_EQ(driver_->startEnabled(), !c.polling);
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
    EXPECT_EQ(op_.caption(), "Merovan- Λάθος!");
    EXPECT_EQ(op_.status(), "Φορολογικός Εκτυπωτής Off-Line, Εκτυπώσεις Ανενεργές !");
    driver_->supervisionTick();
    EXPECT_EQ(register_.sent().size(), 4u);
    EXPECT_FALSE(driver_->startEnabled());

    register_.setResponder([](const std::string&) {
        return std::vector<ScriptedTransport::Piece>{{0ms, ScriptedTransport::okReply()}};
    });
    driver_->clearError();
    EXPECT_EQ(driver_->supervisionFailures(), 0);
    driver_->supervisionTick();
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
    EXPECT_TRUE(driver_->startEnabled());
}

TEST_F(StartUp, HeadlessRetriesAnOffLineRegisterEveryTenSeconds) {
    silenceRegister();
    driver::DriverOptions options;
    options.retryWhileOffline = 10s;
    options.startWhenOnline = true;
    makeDriver(options);
    ASSERT_TRUE(driver_->load());
    for (int i = 0; i < 4; ++i) {
        driver_->supervisionTick();
    }
    ASSERT_EQ(op_.caption(), "Merovan- Λάθος!");
    const auto sentOffline = register_.sent().size();
    clock_.advance(5s);
    driver_->supervisionTick();
    EXPECT_EQ(register_.sent().size(), sentOffline);
    const auto boxes = op_.messages().size();
    clock_.advance(6s);
    driver_->supervisionTick();  // asked again, quietly
    EXPECT_GT(register_.sent().size(), sentOffline);
    EXPECT_EQ(op_.messages().size(), boxes);

    register_.setResponder([](const std::string&) {
        return std::vector<ScriptedTransport::Piece>{{0ms, ScriptedTransport::okReply()}};
    });
    clock_.advance(10s);
    driver_->supervisionTick();
    EXPECT_TRUE(driver_->polling());
}

using StartStop = DriverFixture;

TEST_F(StartStop, ButtonsTrayItemsAndCheckMarks) {
    makeDriver();
    ASSERT_TRUE(driver_->load());
    driver_->housekeepingTick();
    EXPECT_EQ(op_.trayChecks(), std::make_pair(false, false));  // searching: neither
    driver_->trayStart();
    EXPECT_FALSE(driver_->polling());  // Start is disabled while searching

    driver_->supervisionTick();
    struct Step {
        std::function<void(driver::Driver&)> action;
        bool polling, start, stop, reports;
        const char* caption;
        std::pair<bool, bool> checks;
    };
    const Step steps[] = {
        {&driver::Driver::trayStop, false, true, false, true, "Merovan- Έτοιμο", {false, true}},
        {&driver::Driver::trayStart, true, false, true, false, "Merovan- Αναμονή", {true, false}},
        {&driver::Driver::trayStart, true, false, true, false, "Merovan- Αναμονή", {true, false}},
        {&driver::Driver::stopPrinting,
         false,
         true,
         false,
         true,
         "Merovan- Διακόπηκε",
         {false, true}},
        {&driver::Driver::trayStop, false, true, false, true, "Merovan- Διακόπηκε", {false, true}},
        {&driver::Driver::startPrinting,
         true,
         false,
         true,
         false,
         "Merovan- Αναμονή",
         {true, false}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.caption);
        step.action(*driver_);
        driver_->housekeepingTick();
        EXPECT_EQ(driver_->polling(), step.polling);
        EXPECT_EQ(driver_->startEnabled(), step.start);
        EXPECT_EQ(driver_->stopEnabled(), step.stop);
        EXPECT_EQ(driver_->reportsEnabled(), step.reports);
        EXPECT_EQ(op_.caption(), step.caption);
        EXPECT_EQ(op_.trayChecks(), step.checks);
    }
    EXPECT_EQ(driver_->pollTimer().interval, 1000ms);
}

TEST_F(StartStop, ReportsRunFromReadyAndStoppedButNotWhilePolling) {
    makeDriver();
    ASSERT_TRUE(driver_->load());
    driver_->report(supervision::Report::XFinancial);  // searching: menu disabled
    EXPECT_THAT(register_.sent(), IsEmpty());

    driver_->supervisionTick();
    driver_->report(supervision::Report::XFinancial);
    EXPECT_EQ(register_.sent().back(), "KX0T1");
    EXPECT_EQ(op_.status(), "Το Ισοζύγιο ολοκληρώθηκε");

    driver_->startPrinting();
    driver_->report(supervision::Report::ZPeriodic);
    EXPECT_EQ(register_.sent().back(), "KX0T1");

    driver_->stopPrinting();
    driver_->report(supervision::Report::XPeriodic);
    EXPECT_EQ(register_.sent().back(), "KX5T1");
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
    EXPECT_TRUE(driver_->startEnabled());

    driver_->startPrinting();
    driver_->trayZReport();  // stops printing first, then the daily Z
    EXPECT_EQ(register_.sent().back(), "KX021T1");
    EXPECT_FALSE(driver_->polling());
}

TEST_F(StartStop, ZReportInsideAJobLeavesStartAndStopEnabled) {
    realInterpreter_ = true;
    startPolling();
    writeFile("print.1", "resFile:  " + path("result.txt") + "\r\n MKZ\r\n");
    driver_->pollTick();
    EXPECT_NE(std::find(register_.sent().begin(), register_.sent().end(), "KX021T1"),
              register_.sent().end());
    EXPECT_TRUE(driver_->startEnabled());
    EXPECT_TRUE(driver_->stopEnabled());
    EXPECT_TRUE(driver_->polling());
    driver_->trayStop();
    EXPECT_FALSE(driver_->polling());
}

using Polling = DriverFixture;

TEST_F(Polling, NumberedJobsAreTakenInOrderAndEachOnlyOnce) {
    startPolling();
    writeFile("print.1", "");
    writeFile("print.3", "job three");
    writeFile("print.7", "job seven");
    writeFile("end.txt", "");
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3"));
    EXPECT_FALSE(std::filesystem::exists(path("end.txt")));
    EXPECT_EQ(op_.caption(), "Merovan- Αναμονη");
    driver_->pollTick();  // print.3 is still there, unchanged: print.7 is next
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3", "print.7"));
    EXPECT_EQ(op_.receiptCount(), 2);
    EXPECT_EQ(register_.sent().back(), "KXJOB print.7");

    writeFile("print.3", "a new job under the old name");
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.3", "print.7", "print.3"));

    // Touched without a change of content: the POS asks for it again.
    std::filesystem::last_write_time(path("print.7"),
                                     std::filesystem::last_write_time(path("print.7")) + 2s);
    driver_->pollTick();
    EXPECT_EQ(jobNames().back(), "print.7");
    EXPECT_EQ(jobNames().size(), 4u);
}

TEST_F(Polling, NoJobIsPrintedTwiceAcrossARestart) {
    startPolling();
    writeFile("print.1", "job one");
    driver_->pollTick();
    ASSERT_EQ(jobsRun_.size(), 1u);

    makeDriver();
    startPolling();
    writeFile("print.2", "job two");
    driver_->pollTick();
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("print.1", "print.2"));
}

TEST_F(Polling, AJobCutShortByACrashIsReportedAndNotRunAgain) {
    writeFile("print.1", "half printed");
    jobs::JobJournal journal(path("merovan.jnl"));
    std::string problem;
    journal.load(problem);
    const auto file = common::readRegularFile(path("print.1"), 1024);
    ASSERT_TRUE(journal.markStarted(common::canonicalPath(path("print.1")),
                                    {file->stamp, jobs::hashJobBytes(file->bytes)}, "", problem));

    startPolling();
    ASSERT_EQ(op_.logLines().size(), 1u);
    EXPECT_NE(op_.logLines()[0].find(path("print.1")), std::string::npos);
    EXPECT_NE(std::find(op_.statuses().begin(), op_.statuses().end(), op_.logLines()[0]),
              op_.statuses().end());
    driver_->pollTick();
    EXPECT_THAT(jobsRun_, IsEmpty());

    makeDriver();  // told once, not at every start
    op_.clear();
    startPolling();
    EXPECT_THAT(op_.logLines(), IsEmpty());
}

TEST_F(Polling, StarPatternTakesTheFirstMatchThatWasNotPrinted) {
    params_.file = "*.txt";
    startPolling();
    writeFile("a.txt", "");
    writeFile("b.txt", "job b");
    writeFile("c.dat", "not a job");
    driver_->pollTick();
    EXPECT_THAT(jobsRun_, IsEmpty());  // a.txt is the candidate, and it is empty

    writeFile("a.txt", "job a");
    driver_->pollTick();
    driver_->pollTick();
    driver_->pollTick();
    EXPECT_THAT(jobNames(), ElementsAre("a.txt", "b.txt"));
}

TEST_F(Polling, ProgrammingJobsAreDeletedAfterwards) {
    struct Case {
        const char* multiType;
        const char* file;
        const char* job;
        bool deleted;
    };
    for (const Case c :
         {Case{"true", "job.prg", "job.prg.1", true}, Case{"true", "job.PRG", "job.PRG.1", false},
          Case{"fals", "job.PRG.1", "job.PRG.1", true}, Case{"true", "print", "print.1", false}}) {
        SCOPED_TRACE(c.job);
        params_.multiType = c.multiType;
        params_.file = c.file;
        jobsRun_.clear();
        startPolling();
        writeFile(c.job, "PRG");
        driver_->pollTick();
        EXPECT_EQ(jobsRun_.size(), 1u);
        EXPECT_EQ(std::filesystem::exists(path(c.job)), !c.deleted);
        std::filesystem::remove(path(c.job));
    }
}

TEST_F(Polling, SingleFileJobIsProcessedOnceUntilItChanges) {
    params_.multiType = "fals";
    params_.file = "receipt.job";
    startPolling();
    driver_->pollTick();  // no file yet: idle
    writeFile("receipt.job", "one");
    driver_->pollTick();
    driver_->pollTick();
    EXPECT_EQ(jobsRun_.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(path("receipt.txt")));
    writeFile("receipt.job", "two, longer");
    driver_->pollTick();
    EXPECT_EQ(jobsRun_.size(), 2u);
}

TEST_F(Polling, DirectoryChangesOnlyForJobNamesTriggerATick) {
    startPolling();
    writeFile("print.2", "job");
    driver_->directoryChanged("result.txt");
    EXPECT_THAT(jobsRun_, IsEmpty());
    driver_->directoryChanged("print.2");
    EXPECT_EQ(jobsRun_.size(), 1u);
    driver_->stopPrinting();
    writeFile("print.3", "job");
    driver_->directoryChanged("print.3");
    EXPECT_EQ(jobsRun_.size(), 1u);
}

TEST_F(Polling, ParamFileMissingOnATickKeepsTheSettingsInForce) {
    startPolling();
    paramsReadable_ = false;
    writeFile("print.1", "job");
    driver_->pollTick();
    driver_->pollTick();
    EXPECT_EQ(jobsRun_.size(), 1u);
    EXPECT_EQ(op_.logLines().size(), 1u);  // said once, not every second
}

using CommandLine = DriverFixture;

driver::CommandLineJob commandLineJob(const std::string& jobPath, const std::string& tail = "") {
    driver::CommandLineJob job;
    job.settings.linkAddress = "com1:9600";
    job.settings.multiType = "fals";
    job.jobPath = jobPath;
    job.commandLine = "com1:9600,9600," + jobPath + ",0,vesko,1111111" + tail;
    return job;
}

TEST_F(CommandLine, ProcessesTheJobOnceAndDeletesIt) {
    makeDriver();
    writeFile("job.txt", "job");
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("job.txt")), std::nullopt),
              driver::kJobDone);
    EXPECT_THAT(register_.sent(), ElementsAre("KXCL", "KXJOB job.txt"));
    EXPECT_FALSE(std::filesystem::exists(path("job.txt")));
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
}

TEST_F(CommandLine, OutcomesBecomeExitStatuses) {
    writeFile("job.txt", "job");
    nextOutcome_.exitCode = 1;
    makeDriver();
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("job.txt")), std::nullopt),
              driver::kJobAborted);

    nextOutcome_ = {};
    nextOutcome_.readable = false;
    nextOutcome_.error = "no such file";
    makeDriver();
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("gone.txt")), std::nullopt),
              driver::kJobUnreadable);
    ASSERT_FALSE(op_.messages().empty());
    EXPECT_NE(op_.messages().back().text.find("Λάθος : \rno such file"), std::string::npos);
}

TEST_F(CommandLine, KeepsAskingUntilTheRegisterAnswersOrTheLimitIsReached) {
    silenceRegister();
    makeDriver();
    writeFile("job.txt", "job");
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("job.txt")), 60s), driver::kGaveUp);
    EXPECT_THAT(jobsRun_, IsEmpty());
    EXPECT_TRUE(std::filesystem::exists(path("job.txt")));
    EXPECT_GE(clock_.elapsed(), 60s);
    EXPECT_LT(clock_.elapsed(), 90s);

    // A port that will not open says so while the driver waits.
    register_.setOpenStatus(-1, common::utf8ToCp1253("Πρόβλημα στην Θύρα :") + "com1:9600");
    makeDriver();
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("job.txt")), 5s), driver::kGaveUp);
    EXPECT_THAT(op_.statuses(), Contains("Πρόβλημα στην Θύρα :com1:9600"));
    register_.setOpenStatus(0);

    int attempts = 0;
    register_.setResponder([&attempts](const std::string& command) {
        std::vector<ScriptedTransport::Piece> pieces;
        if (command != "KXCL" || ++attempts > 9) {
            pieces.push_back({0ms, ScriptedTransport::okReply()});
        }
        return pieces;
    });
    makeDriver();
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("job.txt")), std::nullopt),
              driver::kJobDone);
    EXPECT_EQ(jobsRun_.size(), 1u);
}

TEST_F(CommandLine, AMissingConversionHelperIsLoggedAndPassedOver) {
    makeDriver();
    writeFile("job.txt", "job");
    EXPECT_EQ(driver_->runCommandLine(commandLineJob(path("job.txt"), "`"), std::nullopt),
              driver::kJobDone);
    ASSERT_EQ(op_.logLines().size(), 1u);
    EXPECT_NE(op_.logLines()[0].find("cop2fis"), std::string::npos);
}

}  // namespace
}  // namespace merovan::testing
