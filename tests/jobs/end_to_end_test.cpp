// The job fixtures end to end: getdata over the real serial (pseudo-terminal) and UDP
// transports against the register simulator, the simulator's traffic file compared with the
// fixture's expected traffic. Pauses are taken out by a clock that moves on sleep; waits for
// the register are real.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/jobs/getdata.h"
#include "core/link/link.h"
#include "core/link/system_transport_factory.h"
#include "core/vat/vat_table.h"
#include "jobs/fixture_files.h"
#include "support/recording_operator.h"
#include "tools/register/register_simulator.h"
#include "transport/transport_test_support.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;
using Mode = sim::RegisterSimulator::Options::Mode;

// Real time for waits on the wire, none for the fixed pauses.
class PauselessClock final : public driver::Clock {
  public:
    TimePoint now() const override { return real_.now() + skipped_; }
    void sleep(std::chrono::milliseconds duration) override { skipped_ += duration; }
    common::DateTime localDateTime() const override { return real_.localDateTime(); }

  private:
    driver::SystemClock real_;
    std::chrono::milliseconds skipped_{0};
};

class JobEndToEnd : public ::testing::TestWithParam<std::tuple<std::string, Mode>> {};

void runThroughSimulator(const std::string& name, Mode mode, const std::string& separator) {
    const testing::JobFixture fixture = testing::loadJobFixture(name);
    const fs::path dir =
        fs::path(MEROVAN_BINARY_DIR) / "e2e_jobs" /
        (name + (mode == Mode::Pty ? "_pty" : "_udp") + (separator == "," ? "_comma" : "_dot"));
    fs::remove_all(dir);
    fs::create_directories(dir);

    sim::RegisterSimulator::Options options;
    options.mode = mode;
    options.udpPort = testing::freeUdpPort();
    options.trafficFile = (dir / "traffic.txt").string();
    options.scenario = sim::Scenario::parse(fixture.scenario);
    sim::RegisterSimulator simulator(options);
    simulator.start();

    JobSettings settings = fixture.settings;
    settings.decimalSeparator = separator;
    settings.workDir = dir.string();
    testing::writeTables(dir, fixture);
    testing::RecordingOperator op;
    PauselessClock clock;
    link::Link link(op, clock, link::systemTransportFactory(mode == Mode::Pty ? "" : "127.0.0.1"));
    link.setLinkAddress(simulator.endpoint() + (mode == Mode::Pty ? ":9600" : ""));
    ProgramFlags flags;
    JobContext context{link, op, clock, flags};
    for (const fs::path& job : testing::jobFiles(name)) {
        EXPECT_TRUE(getdata(testing::copyJob(job, dir).string(), settings, context).readable);
    }
    link.CloseLink();
    simulator.stop();

    EXPECT_EQ(testing::readFile(dir / "traffic.txt"),
              testing::readFile(testing::expectedPath(name, separator, ".traffic")));
}

TEST_P(JobEndToEnd, TheSimulatorReceivesTheExpectedTraffic) {
    const auto& [name, mode] = GetParam();
    for (const std::string& separator : testing::loadJobFixture(name).separators) {
        SCOPED_TRACE("decimal separator " + separator);
        runThroughSimulator(name, mode, separator);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JobEndToEnd,
                         ::testing::Combine(::testing::ValuesIn(testing::jobFixtureNames()),
                                            ::testing::Values(Mode::Pty, Mode::Udp)),
                         [](const auto& info) {
                             return std::get<0>(info.param) +
                                    (std::get<1>(info.param) == Mode::Pty ? "_pty" : "_udp");
                         });

}  // namespace
}  // namespace merovan::jobs
