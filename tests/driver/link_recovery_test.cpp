// A register that cannot be reached at start-up is found once it is there, without a
// restart; the log says why it is off-line, once per reason; a limit on the wait holds.
#include <gmock/gmock.h>

#include "driver_fixture.h"

namespace merovan::testing {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

const std::string kGone = "η θύρα /dev/ttyUSB0 δεν ανοίγει: No such file or directory";

using LinkRecovery = DriverFixture;

TEST_F(LinkRecovery, HeadlessFindsAPortThatAppearsAfterStart) {
    register_.setOpenStatus(link::TransportError::PortUnavailable, kGone);
    driver::DriverOptions options;
    options.retryWhileOffline = 10s;
    options.startWhenOnline = true;
    makeDriver(options);
    goOffline(1s);
    for (int retry = 0; retry < 3; ++retry) {
        clock_.advance(1s);
        driver_->supervisionTick();
    }
    // Off-line since the fourth tick, and every tick since tried the port anew, quietly.
    EXPECT_EQ(register_.openCount(), 5);
    EXPECT_TRUE(register_.sent().empty());
    EXPECT_THAT(op_.logLines(), ElementsAre("Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: " + kGone));
    EXPECT_TRUE(op_.messages().empty());

    register_.setOpenStatus(link::TransportError::None);
    clock_.advance(1s);
    driver_->supervisionTick();
    EXPECT_TRUE(driver_->polling());
    EXPECT_EQ(op_.logLines().back(), "Ο Φορολογικός Εκτυπωτής απαντά ξανά");
    write("print.1", "job");
    driver_->pollTick();
    EXPECT_EQ(register_.sent().back(), "KXJOB print.1");

    // Unplugged between jobs: the job that finds the port gone fails; later ones wait in the
    // directory, without a line sent, until the port is there again.
    register_.loseAtNextSend(kGone);
    register_.setOpenStatus(link::TransportError::PortUnavailable, kGone);
    write("print.2", "job");
    driver_->pollTick();
    write("print.3", "job");
    for (int tick = 0; tick < 3; ++tick) {
        clock_.advance(1s);
        driver_->pollTick();
    }
    EXPECT_EQ(jobNames(), (std::vector<std::string>{"print.1", "print.2"}));
    EXPECT_THAT(op_.status(), ::testing::StartsWith("Η εργασία περιμένει"));
    register_.setOpenStatus(link::TransportError::None);
    clock_.advance(1s);
    driver_->pollTick();
    EXPECT_EQ(register_.sent().back(), "KXJOB print.3");
}

// The desktop program has no retry of its own: the operator's error clear opens the port.
TEST_F(LinkRecovery, ErrorClearOpensAPortThatFailedBefore) {
    register_.setOpenStatus(link::TransportError::PortUnavailable, kGone);
    makeDriver();
    goOffline();
    register_.setOpenStatus(link::TransportError::None);
    driver_->clearError();
    driver_->supervisionTick();
    EXPECT_EQ(op_.caption(), "Merovan- Έτοιμο");
}

// The limit is kept to the moment whether the register is silent or its port will not open,
// the job waits in place, and a port named without speed is opened with the speed beside it.
TEST_F(LinkRecovery, CommandLineGivesUpAtTheLimit) {
    write("job.txt", "job");
    silenceRegister();
    makeDriver();
    EXPECT_EQ(runJob("job.txt", 2s, "", "com1"), driver::GaveUp);
    EXPECT_EQ(clock_.elapsed(), 2s);
    EXPECT_EQ(register_.targets().back().linkAddress, "com1:9600");

    // A port that will not open says so while the driver waits.
    register_.setOpenStatus(link::TransportError::PortUnavailable, kGone);
    makeDriver();
    EXPECT_EQ(runJob("job.txt", 2s, "", "com1"), driver::GaveUp);
    EXPECT_EQ(clock_.elapsed(), 4s);
    EXPECT_EQ(register_.openCount(), 1 + 2) << "asked once a second";
    EXPECT_THAT(op_.statuses(), ::testing::Contains("Πρόβλημα στην Θύρα :com1:9600"));
    EXPECT_TRUE(jobsRun_.empty());
    EXPECT_TRUE(std::filesystem::exists(path("job.txt")));
}

}  // namespace
}  // namespace merovan::testing
