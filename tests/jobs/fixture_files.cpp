#include "jobs/fixture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "core/common/text.h"

namespace merovan::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(MEROVAN_FIXTURES_DIR) / "jobs";

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

// A command as a simulator pattern, which holds no blanks.
std::string patternOf(const std::string& command) {
    return common::replaceAll(common::trimRight(command), " ", "*");
}

}  // namespace

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> jobFixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFixtures)) {
        if (entry.path().extension() == ".setup") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

JobFixture loadJobFixture(const std::string& name) {
    JobFixture fixture;
    std::istringstream in(readFile(kFixtures / (name + ".setup")));
    const std::map<std::string, std::string jobs::JobSettings::*> fields = {
        {"printDesc", &jobs::JobSettings::printDesc}, {"printCode", &jobs::JobSettings::printCode},
        {"comments", &jobs::JobSettings::comments},   {"time", &jobs::JobSettings::time},
        {"currency", &jobs::JobSettings::currency},   {"keybOff", &jobs::JobSettings::keybOff},
        {"ecrt", &jobs::JobSettings::ecrt},           {"dirDepa", &jobs::JobSettings::dirDepa},
        {"quantity", &jobs::JobSettings::quantity}};
    // Replies to one command are used in order, the last one from then on.
    std::map<std::string, std::vector<std::string>> replies;
    std::vector<std::string> order;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        const auto arrow = line.find(" => ");
        const std::string text = arrow == std::string::npos ? "" : line.substr(arrow + 4);
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
            int number = 0, type = 0, terminal = 0, active = 0;
            words >> number >> type >> terminal >> active;
            fixture.cards.push_back(
                {static_cast<std::int16_t>(number), static_cast<std::int16_t>(type),
                 static_cast<std::int16_t>(terminal), static_cast<std::int16_t>(active)});
        } else if (key == "reply") {
            const std::string command = line.substr(6, arrow - 6);
            fixture.reg.addReply(command, unescape(text));
            if (replies[command].empty()) {
                order.push_back(command);
            }
            replies[command].push_back(text);
        } else if (key == "second") {
            int seconds = 0;
            words >> seconds;
            std::string command;
            std::getline(words >> std::ws, command);
            command = command.substr(0, command.find(" => "));
            fixture.reg.addSecondAnswer(command, std::chrono::seconds(seconds), unescape(text));
            fixture.scenario += "card " + patternOf(command) + " 0.2 " + text + "\n";
        }
    }
    for (const std::string& command : order) {
        const auto& texts = replies[command];
        for (std::size_t i = 0; i < texts.size(); ++i) {
            fixture.scenario += "reply " + patternOf(command) +
                                (i + 1 < texts.size() ? " times=1 " : " ") + texts[i] + "\n";
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

fs::path copyJob(const fs::path& job, const fs::path& dir) {
    const fs::path copy = dir / job.filename();
    writeFile(copy, common::replaceAll(readFile(job), "@DIR@", dir.string()));
    return copy;
}

void writeTables(const fs::path& dir, const JobFixture& fixture) {
    EXPECT_EQ(vat::SaveVatRates((dir / vat::kVatFileName).string(), fixture.rates), 0);
    for (const auto& card : fixture.cards) {
        EXPECT_EQ(eft::WriteEftRecord((dir / eft::kEftFileName).string(), card), 0);
    }
}

fs::path expectedPath(const std::string& name, const std::string& separator,
                      const std::string& ext) {
    const fs::path own = kFixtures / (name + (separator == "," ? ".comma" : ".dot") + ext);
    return fs::exists(own) ? own : kFixtures / (name + ext);
}

void regold(const std::string& name, const std::string& separator, const std::string& ext,
            const std::string& content) {
    const fs::path comma = kFixtures / (name + ".comma" + ext);
    const fs::path dot = kFixtures / (name + ".dot" + ext);
    const fs::path shared = kFixtures / (name + ext);
    writeFile(separator == "," ? comma : dot, content);
    const bool both = fs::exists(comma) && fs::exists(dot);
    const bool single =
        fs::exists(comma) != fs::exists(dot) && loadJobFixture(name).separators.size() == 1;
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

}  // namespace merovan::testing
