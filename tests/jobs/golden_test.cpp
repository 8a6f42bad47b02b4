// Job fixtures run through getdata against a scripted register: every fixture NAME.setup
// names its settings and register behaviour; NAME.job (or NAME.1.job, NAME.2.job ... run in
// turn) is the job; NAME.traffic, NAME.result and NAME.messages are what the register, the
// result file and the operator must see. A file NAME.comma.EXT or NAME.dot.EXT holds the
// expectation of one decimal separator where the two differ. MEROVAN_REGOLD=1 rewrites them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/jobs/getdata.h"
#include "core/link/link.h"
#include "core/vat/vat_table.h"
#include "jobs/fixture_register.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace merovan::jobs {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(MEROVAN_FIXTURES_DIR) / "jobs";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// "\n" and "\xHH" in replies written in a setup file.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct Fixture {
    JobSettings settings;
    std::vector<std::string> separators{",", "."};
    vat::VatRates rates{};
    std::vector<eft::EftPaymentRecord> cards;
    testing::FixtureRegister reg;
};

Fixture loadSetup(const std::string& name) {
    Fixture fixture;
    std::istringstream in(readFile(kFixtures / (name + ".setup")));
    const std::map<std::string, std::string JobSettings::*> fields = {
        {"printDesc", &JobSettings::printDesc}, {"printCode", &JobSettings::printCode},
        {"comments", &JobSettings::comments},   {"time", &JobSettings::time},
        {"currency", &JobSettings::currency},   {"keybOff", &JobSettings::keybOff},
        {"ecrt", &JobSettings::ecrt},           {"dirDepa", &JobSettings::dirDepa},
        {"quantity", &JobSettings::quantity}};
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        const auto arrow = line.find(" => ");
        if (key == "set") {
            std::string field, value;
            words >> field;
            std::getline(words >> std::ws, value);
            fixture.settings.*fields.at(field) = value;
        } else if (key == "separators") {
            fixture.separators.clear();
            for (std::string sep; words >> sep;) {
                fixture.separators.push_back(sep);
            }
        } else if (key == "vat") {
            for (double& rate : fixture.rates) {
                words >> rate;
            }
        } else if (key == "eft") {
            int number, type, terminal, active;
            words >> number >> type >> terminal >> active;
            fixture.cards.push_back(
                {static_cast<std::int16_t>(number), static_cast<std::int16_t>(type),
                 static_cast<std::int16_t>(terminal), static_cast<std::int16_t>(active)});
        } else if (key == "reply") {
            fixture.reg.addReply(line.substr(6, arrow - 6), unescape(line.substr(arrow + 4)));
        } else if (key == "second") {
            int seconds = 0;
            std::string command;
            words >> seconds;
            std::getline(words >> std::ws, command);
            command = command.substr(0, command.find(" => "));
            fixture.reg.addSecondAnswer(command, std::chrono::seconds(seconds),
                                        unescape(line.substr(arrow + 4)));
        }
    }
    return fixture;
}

std::vector<fs::path> jobFiles(const std::string& name) {
    if (fs::exists(kFixtures / (name + ".job"))) {
        return {kFixtures / (name + ".job")};
    }
    std::vector<fs::path> jobs;
    for (int n = 1; fs::exists(kFixtures / (name + "." + std::to_string(n) + ".job")); ++n) {
        jobs.push_back(kFixtures / (name + "." + std::to_string(n) + ".job"));
    }
    return jobs;
}

struct Observed {
    std::string traffic;
    std::string result;
    std::string messages;
};

Observed runFixture(const std::string& name, const std::string& separator) {
    Fixture fixture = loadSetup(name);
    const fs::path dir = fs::path(MEROVAN_BINARY_DIR) / "golden_jobs" /
                         (name + (separator == "," ? "_comma" : "_dot"));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fixture.settings.decimalSeparator = separator;
    fixture.settings.workDir = dir.string();
    EXPECT_EQ(vat::SaveVatRates((dir / vat::kVatFileName).string(), fixture.rates), 0);
    for (const auto& card : fixture.cards) {
        EXPECT_EQ(eft::WriteEftRecord((dir / eft::kEftFileName).string(), card), 0);
    }

    testing::FakeClock clock;
    testing::RecordingOperator op;
    testing::ScriptedTransport transport(clock);
    transport.setResponder(
        [&fixture](const std::string& command) { return fixture.reg.respond(command); });
    link::Link link(op, clock, transport.factory());
    link.setLinkAddress("com1:9600");
    ProgramFlags flags;
    JobContext context{link, op, clock, flags};

    for (const fs::path& job : jobFiles(name)) {
        const fs::path copy = dir / job.filename();
        writeFile(copy, common::replaceAll(readFile(job), "@DIR@", dir.string()));
        const JobOutcome outcome = getdata(copy.string(), fixture.settings, context);
        EXPECT_TRUE(outcome.readable) << job;
        EXPECT_FALSE(flags.TransferPending || flags.PartialPaymentPending || flags.FooterPending);
    }

    Observed seen;
    for (const std::string& command : transport.sent()) {
        seen.traffic += command + "\n";
    }
    static const std::regex date(R"([0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2})");
    seen.result = std::regex_replace(common::replaceAll(readFile(dir / "result.txt"), "\r\n", "\n"),
                                     date, "<date>");
    for (const auto& box : op.messages()) {
        seen.messages += std::to_string(box.buttons) + " " + common::trim(box.text) + "\n";
    }
    return seen;
}

// The expectation for one separator: its own file where the separators differ, else the
// shared one.
fs::path expectedPath(const std::string& name, const std::string& separator,
                      const std::string& ext) {
    const fs::path own = kFixtures / (name + (separator == "," ? ".comma" : ".dot") + ext);
    return fs::exists(own) ? own : kFixtures / (name + ext);
}

// Writes the separator's own file, then folds the two into the shared one when they agree.
void regold(const std::string& name, const std::string& separator, const std::string& ext,
            const std::string& content) {
    const fs::path comma = kFixtures / (name + ".comma" + ext);
    const fs::path dot = kFixtures / (name + ".dot" + ext);
    const fs::path shared = kFixtures / (name + ext);
    writeFile(separator == "," ? comma : dot, content);
    const bool both = fs::exists(comma) && fs::exists(dot);
    const bool single =
        fs::exists(comma) != fs::exists(dot) && loadSetup(name).separators.size() == 1;
    if ((both && readFile(comma) == readFile(dot)) || single) {
        fs::rename(separator == "," ? comma : dot, shared);
        fs::remove(comma);
        fs::remove(dot);
    } else if (both) {
        fs::remove(shared);
    }
    // A missing file stands for no output.
    for (const fs::path& path : {comma, dot, shared}) {
        if (fs::exists(path) && fs::file_size(path) == 0) {
            fs::remove(path);
        }
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

class JobGoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(JobGoldenTest, TrafficResultAndMessagesMatch) {
    const std::string name = GetParam();
    ASSERT_FALSE(jobFiles(name).empty()) << name;
    for (const std::string& separator : loadSetup(name).separators) {
        SCOPED_TRACE("decimal separator " + separator);
        const Observed seen = runFixture(name, separator);
        const std::pair<std::string, const std::string*> outputs[] = {
            {".traffic", &seen.traffic}, {".result", &seen.result}, {".messages", &seen.messages}};
        for (const auto& [ext, content] : outputs) {
            if (std::getenv("MEROVAN_REGOLD") != nullptr) {
                regold(name, separator, ext, *content);
                continue;
            }
            const fs::path expected = expectedPath(name, separator, ext);
            EXPECT_EQ(*content, fs::exists(expected) ? readFile(expected) : std::string())
                << "fixture " << name << ext;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JobGoldenTest, ::testing::ValuesIn(fixtureNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace merovan::jobs
