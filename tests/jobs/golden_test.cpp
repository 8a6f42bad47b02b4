// The job fixtures through getdata against a scripted register and the fake clock.
// MEROVAN_REGOLD=1 rewrites the expected files instead of comparing with them.
#include <gtest/gtest.h>

#include <regex>

#include "core/common/text.h"
#include "core/jobs/getdata.h"
#include "core/link/link.h"
#include "jobs/fixture_files.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;

struct Observed {
    std::string traffic;
    std::string result;
    std::string messages;
};

Observed runFixture(const std::string& name, const std::string& separator) {
    testing::JobFixture fixture = testing::loadJobFixture(name);
    const fs::path dir = fs::path(MEROVAN_BINARY_DIR) / "golden_jobs" /
                         (name + (separator == "," ? "_comma" : "_dot"));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fixture.settings.decimalSeparator = separator;
    fixture.settings.workDir = dir.string();
    testing::writeTables(dir, fixture);

    testing::FakeClock clock;
    testing::RecordingOperator op;
    testing::ScriptedTransport transport(clock);
    transport.setResponder(
        [&fixture](const std::string& command) { return fixture.reg.respond(command); });
    link::Link link(op, clock, transport.factory());
    link.setLinkAddress("com1:9600");
    ProgramFlags flags;
    JobContext context{link, op, clock, flags};
    for (const fs::path& job : testing::jobFiles(name)) {
        const JobOutcome outcome =
            getdata(testing::copyJob(job, dir).string(), fixture.settings, context);
        EXPECT_TRUE(outcome.readable) << job;
        EXPECT_FALSE(flags.TransferPending || flags.PartialPaymentPending || flags.FooterPending);
    }

    Observed seen;
    for (const std::string& command : transport.sent()) {
        seen.traffic += command + "\n";
    }
    static const std::regex date(R"([0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2})");
    seen.result = std::regex_replace(
        common::replaceAll(testing::readFile(dir / "result.txt"), "\r\n", "\n"), date, "<date>");
    for (const auto& box : op.messages()) {
        seen.messages += std::to_string(box.buttons) + " " + common::trim(box.text) + "\n";
    }
    return seen;
}

class JobGoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(JobGoldenTest, TrafficResultAndMessagesMatch) {
    const std::string name = GetParam();
    ASSERT_FALSE(testing::jobFiles(name).empty()) << name;
    for (const std::string& separator : testing::loadJobFixture(name).separators) {
        SCOPED_TRACE("decimal separator " + separator);
        const Observed seen = runFixture(name, separator);
        const std::pair<std::string, const std::string*> outputs[] = {
            {".traffic", &seen.traffic}, {".result", &seen.result}, {".messages", &seen.messages}};
        for (const auto& [ext, content] : outputs) {
            if (std::getenv("MEROVAN_REGOLD") != nullptr) {
                testing::regold(name, separator, ext, *content);
                continue;
            }
            EXPECT_EQ(*content, testing::readFile(testing::expectedPath(name, separator, ext)))
                << "fixture " << name << ext;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JobGoldenTest, ::testing::ValuesIn(testing::jobFixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace merovan::jobs
