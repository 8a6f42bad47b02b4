#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/eft/eft_table.h"
#include "core/jobs/getdata.h"
#include "core/vat/vat_table.h"
#include "jobs/fixture_register.h"

// The job fixtures under tests/fixtures/jobs: NAME.setup names the settings and how the
// register answers; NAME.job (or NAME.1.job, NAME.2.job ... run in turn) is the job;
// NAME.traffic, NAME.result and NAME.messages are what the register, the result file and the
// operator must see. NAME.comma.EXT or NAME.dot.EXT holds the expectation of one decimal
// separator where the two differ; a missing file stands for no output.
namespace merovan::testing {

struct JobFixture {
    jobs::JobSettings settings;
    std::vector<std::string> separators{",", "."};
    vat::VatRates rates{};
    std::vector<eft::EftPaymentRecord> cards;
    FixtureRegister reg;
    // The same register behaviour for the simulator, with card answers that come at once.
    std::string scenario;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);

std::vector<std::string> jobFixtureNames();
JobFixture loadJobFixture(const std::string& name);
std::vector<std::filesystem::path> jobFiles(const std::string& name);
// The job copied into dir with its result file pointed there.
std::filesystem::path copyJob(const std::filesystem::path& job, const std::filesystem::path& dir);
// vats.dat and payeft.dat of the fixture, in dir.
void writeTables(const std::filesystem::path& dir, const JobFixture& fixture);

std::filesystem::path expectedPath(const std::string& name, const std::string& separator,
                                   const std::string& ext);
// Writes the separator's own expectation, then folds the two into the shared file when they
// agree.
void regold(const std::string& name, const std::string& separator, const std::string& ext,
            const std::string& content);

}  // namespace merovan::testing
