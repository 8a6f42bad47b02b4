// A register that cannot be reached at start-up is found once it is there, without a
// restart; the log says why it is off-line, once per reason; a limit on the wait holds.
#include <gmock/gmock.h>

#include "core/common/codepage.h"
#include "driver_fixture.h"

namespace merovan::testing {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

const std::string kGone = "η θύρα /dev/ttyUSB0 δεν ανοίγει: No such file or directory";

using LinkRecovery = DriverFixture;

TEST_F(LinkRecovery, HeadlessFindsAPortThatAppearsAfterStart) {
    register_.setOpenStatus(-1, common::utf8ToCp1253("Πρόβλημα στην Θύρα :") + "com1:9600", kGone);
    driver::DriverOptions options;
    options.retryWhileOffline = 10s;
    options.startWhenOnline = true;
    makeDriver(options);
    ASSERT_TRUE(driver_->load());
    for (int tick = 0; tick < 4; ++tick) {
        driver_->supervisionTick();
        clock_.advance(1s);
    }
    ASSERT_EQ(op_.caption(), "Merovan- Λάθος!");
    for (int retry = 0; retry < 3; ++retry) {
        clock_.advance(1s);
        driver_->supervisionTick();
    }
    // Off-line since the fourth tick, and every tick since tried the port anew, quietly.
    EXPECT_EQ(register_.openCount(), 5);
    EXPECT_TRUE(register_.sent().empty());
    EXPECT_THAT(op_.logLines(), ElementsAre("Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: " + kGone));
    EXPECT_TRUE(op_.messages().empty());

    register_.setOpenStatus(0);
    clock_.advance(1s);
    driver_->supervisionTick();
    EXPECT_TRUE(driver_->polling());
    EXPECT_EQ(op_.logLines().back(), "Ο Φορολογικός Εκτυπωτής απαντά ξανά");
    writeFile("print.1", "job");
    driver_->pollTick();
    EXPECT_EQ(register_.sent().back(), "KXJOB print.1");

    // Unplugged between jobs: the job that finds the port gone fails; later ones wait in the
    // directory, without a line sent, until the port is there again.
    register_.loseAtNextSend(kGone);
    register_.setOpenStatus(-1, "no port", kGone);
    writeFile("print.2", "job");
    driver_->pollTick();
    writeFile("print.3", "job");
    for (int tick = 0; tick < 3; ++tick) {
        clock_.advance(1s);
        driver_->pollTick();
    }
    EXPECT_EQ(jobNames(), (std::vector<std::string>{"print.1", "print.2"}));
    EXPECT_THAT(op_.status(), ::testing::StartsWith("Η εργασία περιμένει"));
    register_.setOpenStatus(0);
    clock_.advance(1s);
    driver_->pollTick();
    EXPECT_EQ(register_.sent().back(), "KXJOB print.3");
}

// The desktop program has no retry of its own: the operator's error clear opens the port.
TEST_F(LinkRecovery, ErrorClearOpensAPortThatFailedBefore) {
    register_.setOpenStatus(-1, "no port", kGone);
    makeDriver();
    ASSERT_TRUE(driver_->load());
    for (int tick = 0; tick < 4; ++tick) {
        driver_->supervisionTick();
    }
    ASSERT_EQ(op_.caption(), "Merovan- Λάθος!");
    register_.setOpenStatus(0);
    driver_->clearError();
    driver_->supervisionTick();
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
}

driver::CommandLineJob oneJob(const std::string& jobPath) {
    driver::CommandLineJob job;
    job.settings.linkAddress = "com1";
    job.settings.baud = "9600";
    job.settings.multiType = "fals";
    job.jobPath = jobPath;
    job.commandLine = "com1,9600," + jobPath + ",0,vesko,1111111";
    return job;
}

// The limit is kept to the moment whether the register is silent or its port will not open,
// and a port named without speed is opened with the speed given beside it.
TEST_F(LinkRecovery, CommandLineGivesUpAtTheLimit) {
    writeFile("job.txt", "job");
    silenceRegister();
    makeDriver();
    EXPECT_EQ(driver_->runCommandLine(oneJob(path("job.txt")), 2s), driver::kGaveUp);
    EXPECT_EQ(clock_.elapsed(), 2s);
    EXPECT_EQ(register_.targets().back().linkAddress, "com1:9600");

    register_.setOpenStatus(-1, "no port", kGone);
    makeDriver();
    const auto before = clock_.elapsed();
    EXPECT_EQ(driver_->runCommandLine(oneJob(path("job.txt")), 2s), driver::kGaveUp);
    EXPECT_EQ(clock_.elapsed() - before, 2s);
    EXPECT_EQ(register_.openCount(), 1 + 2) << "asked once a second";
    EXPECT_TRUE(jobsRun_.empty());
}

}  // namespace
}  // namespace merovan::testing
