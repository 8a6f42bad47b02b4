// The job fixtures under tests/fixtures/jobs, each run with both decimal separators against
// the register on a script and the fake clock, and end to end over the real serial and UDP
// transports against the register simulator.
//
// NAME.setup holds "set FIELD VALUE", "vat R1 R2 R3 R4 R5" and "eft NUMBER TYPE TERMINAL
// ACTIVE" lines; every other line is a rule of the register's scenario. NAME.job (or NAME.1.job,
// NAME.2.job ... run in turn) is the job. NAME.traffic, NAME.result and NAME.messages are what
// the register, the result file and the operator must see, NAME.comma.EXT and NAME.dot.EXT
// where the two separators differ; a missing file stands for no output. MEROVAN_REGOLD=1
// rewrites them instead of comparing; review the diff before committing it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/jobs/getdata.h"
#include "core/link/link.h"
#include "core/link/system_transport_factory.h"
#include "core/vat/vat_table.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"
#include "tools/register/register_simulator.h"
#include "transport/transport_test_support.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;
using Mode = sim::RegisterSimulator::Options::Mode;
// What was seen, by the extension of its expected file.
using Observed = std::map<std::string, std::string>;

const fs::path kFixtures = fs::path(MEROVAN_FIXTURES_DIR) / "jobs";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string lines(const std::vector<std::string>& commands) {
    std::string text;
    for (const std::string& command : commands) {
        text += command + "\n";
    }
    return text;
}

struct Fixture {
    JobSettings settings;
    vat::VatRates rates{};
    std::vector<eft::EftPaymentRecord> cards;
    std::string scenario;
    std::vector<fs::path> jobs;
};

Fixture load(const std::string& name) {
    static const std::map<std::string, std::string JobSettings::*> fields = {
        {"printDesc", &JobSettings::printDesc}, {"printCode", &JobSettings::printCode},
        {"comments", &JobSettings::comments},   {"time", &JobSettings::time},
        {"currency", &JobSettings::currency},   {"keybOff", &JobSettings::keybOff},
        {"ecrt", &JobSettings::ecrt},           {"dirDepa", &JobSettings::dirDepa},
        {"quantity", &JobSettings::quantity}};
    Fixture fixture;
    std::istringstream in(readFile(kFixtures / (name + ".setup")));
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key, field, value;
        words >> key;
        if (key == "set") {
            std::getline(words >> field >> std::ws, value);
            fixture.settings.*fields.at(field) = value;
        } else if (key == "vat") {
            for (double& rate : fixture.rates) {
                words >> rate;
            }
        } else if (key == "eft") {
            eft::EftPaymentRecord& card = fixture.cards.emplace_back();
            words >> card.payNumber >> card.ecrPayType >> card.eftTerminal >> card.active;
        } else {
            fixture.scenario += line + "\n";
        }
    }
    const auto numbered = [&](int n) {
        return kFixtures / (name + "." + std::to_string(n) + ".job");
    };
    for (int n = 1; fs::exists(numbered(n)); ++n) {
        fixture.jobs.push_back(numbered(n));
    }
    if (fixture.jobs.empty()) {
        fixture.jobs.push_back(kFixtures / (name + ".job"));
    }
    return fixture;
}

// Runs the fixture's jobs in a fresh directory; the register's traffic is the caller's to add.
Observed runJobs(const Fixture& fixture, const std::string& separator, const fs::path& dir,
                 link::Link& link, testing::RecordingOperator& op, driver::Clock& clock) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    JobSettings settings = fixture.settings;
    settings.decimalSeparator = separator;
    settings.workDir = dir.string();
    EXPECT_EQ(vat::SaveVatRates((dir / vat::kVatFileName).string(), fixture.rates), 0);
    for (const auto& card : fixture.cards) {
        EXPECT_EQ(eft::WriteEftRecord((dir / eft::kEftFileName).string(), card), 0);
    }
    ProgramFlags flags;
    JobContext context{link, op, clock, flags};
    for (const fs::path& job : fixture.jobs) {
        const fs::path copy = dir / job.filename();
        std::ofstream(copy, std::ios::binary)
            << common::replaceAll(readFile(job), "@DIR@", dir.string());
        EXPECT_TRUE(getdata(copy.string(), settings, context).readable) << job;
        EXPECT_FALSE(flags.TransferPending || flags.PartialPaymentPending || flags.FooterPending);
    }
    link.CloseLink();

    Observed seen{{".messages", ""}};
    static const std::regex date(R"([0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2})");
    seen[".result"] = std::regex_replace(
        common::replaceAll(readFile(dir / "result.txt"), "\r\n", "\n"), date, "<date>");
    for (const auto& box : op.messages()) {
        seen[".messages"] += std::to_string(box.buttons) + " " + common::trim(box.text) + "\n";
    }
    return seen;
}

fs::path runDir(const std::string& name, const std::string& how, const std::string& separator) {
    return fs::path(MEROVAN_BINARY_DIR) / "job_fixtures" /
           (name + "_" + how + (separator == "," ? "_comma" : "_dot"));
}

Observed runScripted(const std::string& name, const std::string& separator) {
    const Fixture fixture = load(name);
    sim::Scenario scenario = sim::Scenario::parse(fixture.scenario);
    sim::RegisterState state;
    testing::FakeClock clock;
    testing::RecordingOperator op;
    testing::ScriptedTransport wire(clock);
    wire.setResponder([&](const std::string& command) {
        std::vector<testing::ScriptedTransport::Piece> pieces;
        for (auto& piece : sim::respond(scenario, state, command)) {
            pieces.push_back({piece.after, std::move(piece.bytes)});
        }
        return pieces;
    });
    link::Link link(op, clock, wire.factory());
    link.setLinkAddress("com1:9600");
    Observed seen =
        runJobs(fixture, separator, runDir(name, "scripted", separator), link, op, clock);
    seen[".traffic"] = lines(wire.sent());
    return seen;
}

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

Observed runSimulated(const std::string& name, const std::string& separator, Mode mode) {
    const Fixture fixture = load(name);
    sim::RegisterSimulator::Options options;
    options.mode = mode;
    options.udpPort = testing::freeUdpPort();
    options.scenario = sim::Scenario::parse(fixture.scenario);
    sim::RegisterSimulator simulator(options);
    simulator.start();
    const bool serial = mode == Mode::Pty;
    testing::RecordingOperator op;
    PauselessClock clock;
    link::Link link(op, clock, link::systemTransportFactory(serial ? "" : "127.0.0.1"));
    link.setLinkAddress(simulator.endpoint() + (serial ? ":9600" : ""));
    runJobs(fixture, separator, runDir(name, serial ? "pty" : "udp", separator), link, op, clock);
    simulator.stop();
    // The traffic only: with the fixed pauses taken out, an answer the driver would have
    // waited for may come after its next command went out.
    return {{".traffic", lines(simulator.traffic())}};
}

// Compares with the expected files, or writes them: one shared file where the separators agree,
// one each where they differ, none for no output.
void checkExpected(const std::string& name, const Observed& comma, const Observed& dot,
                   bool regold = false) {
    for (const auto& [ext, commaText] : comma) {
        const fs::path shared = kFixtures / (name + ext);
        const fs::path commaFile = kFixtures / (name + ".comma" + ext);
        const fs::path dotFile = kFixtures / (name + ".dot" + ext);
        const std::string& dotText = dot.at(ext);
        if (regold) {
            const auto write = [](const fs::path& path, const std::string& text) {
                fs::remove(path);
                if (!text.empty()) {
                    std::ofstream(path, std::ios::binary) << text;
                }
            };
            const bool same = commaText == dotText;
            write(shared, same ? commaText : "");
            write(commaFile, same ? "" : commaText);
            write(dotFile, same ? "" : dotText);
            continue;
        }
        const auto expected = [&](const fs::path& own) {
            return readFile(fs::exists(own) ? own : shared);
        };
        EXPECT_EQ(commaText, expected(commaFile)) << name << ext << " with a decimal comma";
        EXPECT_EQ(dotText, expected(dotFile)) << name << ext << " with a decimal point";
    }
}

std::vector<std::string> fixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFixtures)) {
        if (entry.path().extension() == ".setup") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class JobFixtures : public ::testing::TestWithParam<std::string> {};

TEST_P(JobFixtures, OnAScriptedRegister) {
    checkExpected(GetParam(), runScripted(GetParam(), ","), runScripted(GetParam(), "."),
                  std::getenv("MEROVAN_REGOLD") != nullptr);
}

TEST_P(JobFixtures, EndToEndOverSerialAndUdp) {
    for (const Mode mode : {Mode::Pty, Mode::Udp}) {
        SCOPED_TRACE(mode == Mode::Pty ? "serial" : "udp");
        checkExpected(GetParam(), runSimulated(GetParam(), ",", mode),
                      runSimulated(GetParam(), ".", mode));
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JobFixtures, ::testing::ValuesIn(fixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace merovan::jobs
