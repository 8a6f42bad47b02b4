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
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/jobs/run_job.h"
#include "core/link/link.h"
#include "core/link/system_transport_factory.h"
#include "core/settings/param_file.h"
#include "core/supervision/reports.h"
#include "core/vat/vat_table.h"
#include "support/fake_clock.h"
#include "support/read_file.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"
#include "support/transport_test_support.h"
#include "tools/register/register_simulator.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using Mode = sim::RegisterSimulator::Options::Mode;
// What was seen, by the extension of its expected file.
using Observed = std::map<std::string, std::string>;

const fs::path kFixtures = fs::path(MEROVAN_FIXTURES_DIR) / "jobs";

std::string lines(const std::vector<std::string>& commands) {
    std::string text;
    for (const std::string& command : commands) {
        text += command + "\n";
    }
    return text;
}

// Real time for waits on the wire, none for the fixed pauses.
class PauselessClock final : public common::Clock {
  public:
    TimePoint now() const override { return real_.now() + skipped_; }
    void sleep(std::chrono::milliseconds duration) override { skipped_ += duration; }
    common::DateTime localDateTime() const override { return real_.localDateTime(); }

  private:
    common::SystemClock real_;
    std::chrono::milliseconds skipped_{0};
};

enum class Register { Scripted, OnPty, OnUdp };

// Runs the fixture's jobs in a fresh directory, against the register on a script or the
// simulator on a real transport.
Observed run(const std::string& name, const std::string& separator, Register how) {
    const fs::path dir = fs::path(MEROVAN_BINARY_DIR) / "job_fixtures" /
                         (name + "_" + std::to_string(static_cast<int>(how)) + separator);
    fs::remove_all(dir);
    fs::create_directories(dir);
    // Each setting goes through the param.ini reader, as the driver gets it.
    static const std::map<std::string, std::string> keys = {
        {"printDesc", "[print_desc] "}, {"printCode", "[print_code] "}, {"comments", "[comments] "},
        {"currency", "[currency] "},    {"keybOff", "[keyb_off] "},     {"ecrt", "[ecrt] "},
        {"dirDepa", "[dir_depa] "},     {"quantity", "[quantity] "}};
    std::string param;
    JobSettings settings;
    settings.decimalSeparator = separator;
    settings.workDir = dir.string();
    std::string rules;
    std::istringstream setup(readFile(kFixtures / (name + ".setup")));
    for (std::string line; std::getline(setup, line);) {
        std::istringstream words(line);
        std::string key, field, value;
        words >> key;
        if (key == "set") {
            std::getline(words >> field >> std::ws, value);
            param += keys.at(field) + value + "\r\n";
        } else if (key == "vat") {
            vat::VatRates rates{};
            for (double& rate : rates) {
                words >> rate;
            }
            EXPECT_TRUE(vat::saveVatRates((dir / vat::kVatFileName).string(), rates));
        } else if (key == "eft") {
            eft::EftPaymentRecord card;
            words >> card.payNumber >> card.ecrPayType >> card.eftTerminal >> card.active;
            EXPECT_TRUE(eft::writeEftRecord((dir / eft::kEftFileName).string(), card));
        } else {
            rules += line + "\n";
        }
    }

    settings.receipt = settings::parseParamText(param).receipt;
    sim::Scenario scenario = sim::Scenario::parse(rules);
    sim::RegisterState state;
    testing::FakeClock fakeClock;
    testing::ScriptedTransport wire(fakeClock);
    wire.setResponder([&](const std::string& command) {
        std::vector<testing::ScriptedTransport::Piece> pieces;
        for (auto& piece : sim::respond(scenario, state, command)) {
            pieces.push_back({piece.after, std::move(piece.bytes)});
        }
        return pieces;
    });
    std::optional<sim::RegisterSimulator> simulator;
    PauselessClock pauselessClock;
    testing::RecordingOperator op;
    std::optional<link::Link> link;
    if (how == Register::Scripted) {
        link.emplace(op, fakeClock, wire.factory());
        link->setLinkAddress("com1:9600");
    } else {
        sim::RegisterSimulator::Options options;
        options.mode = how == Register::OnPty ? Mode::Pty : Mode::Udp;
        options.udpPort = testing::freeUdpPort();
        options.scenario = scenario;
        simulator.emplace(options);
        simulator->start();
        link.emplace(op, pauselessClock,
                     link::systemTransportFactory(how == Register::OnPty ? "" : "127.0.0.1"));
        link->setLinkAddress(simulator->endpoint() + (how == Register::OnPty ? ":9600" : ""));
    }
    ProgramFlags flags;
    common::Clock& clock =
        how == Register::Scripted ? static_cast<common::Clock&>(fakeClock) : pauselessClock;
    RegisterSession session(*link, op, clock);
    supervision::DailyZReport dailyReport(session, op);
    JobContext context{session, op, clock, flags, dailyReport};
    const auto numbered = [&](int n) { return name + "." + std::to_string(n) + ".job"; };
    const bool several = fs::exists(kFixtures / numbered(1));
    for (int n = 1; n == 1 || (several && fs::exists(kFixtures / numbered(n))); ++n) {
        const std::string job = several ? numbered(n) : name + ".job";
        std::ofstream(dir / job, std::ios::binary)
            << common::replaceAll(readFile(kFixtures / job), "@DIR@", dir.string());
        EXPECT_TRUE(interpretJobFile((dir / job).string(), settings, context).readable) << job;
        EXPECT_FALSE(flags.transferPending || flags.partialPaymentPending || flags.footerPending);
    }
    link->closeLink();
    if (simulator) {
        // With the pauses taken out, an early answer (a late one to an earlier command) can
        // end the job while its last command is still on its way to the register.
        for (auto [seen, calm] = std::pair{simulator->traffic(), 0}; calm < 3; ++calm) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (auto now = simulator->traffic(); now != seen) {
                seen = std::move(now);
                calm = -1;
            }
        }
        simulator->stop();
        // The traffic only: with the fixed pauses taken out, an answer the driver would have
        // waited for may come after its next command went out.
        return {{".traffic", lines(simulator->traffic())}};
    }
    Observed seen{{".traffic", lines(wire.sent())}, {".messages", ""}};
    static const std::regex date(R"([0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2})");
    seen[".result"] = std::regex_replace(
        common::replaceAll(readFile(dir / "result.txt"), "\r\n", "\n"), date, "<date>");
    for (const auto& box : op.messages()) {
        seen[".messages"] += std::to_string(box.buttons) + " " + common::trim(box.text) + "\n";
    }
    return seen;
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
            const bool same = commaText == dotText;
            for (const auto& [path, text] : {std::pair{shared, same ? commaText : ""},
                                             {commaFile, same ? "" : commaText},
                                             {dotFile, same ? "" : dotText}}) {
                fs::remove(path);
                if (!text.empty()) {
                    std::ofstream(path, std::ios::binary) << text;
                }
            }
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
    checkExpected(GetParam(), run(GetParam(), ",", Register::Scripted),
                  run(GetParam(), ".", Register::Scripted),
                  std::getenv("MEROVAN_REGOLD") != nullptr);
}

TEST_P(JobFixtures, EndToEndOverSerialAndUdp) {
    for (const Register how : {Register::OnPty, Register::OnUdp}) {
        SCOPED_TRACE(how == Register::OnPty ? "serial" : "udp");
        checkExpected(GetParam(), run(GetParam(), ",", how), run(GetParam(), ".", how));
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JobFixtures, ::testing::ValuesIn(fixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace merovan::jobs
