#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"

namespace merovan::testing {

// A user other than the test's own, for the programs and files of one side of the exchange.
struct SystemUser {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
};

// An unprivileged user of this machine by name, created when missing; none when that cannot
// be done (the test then does not run as root).
std::optional<SystemUser> unprivilegedUser(const std::string& name);

// How often part occurs in text.
std::size_t countOf(const std::string& text, const std::string& part);
// The sample receipt (two items at 24 % and 13 %, paid with key 1) naming its result file.
std::string receiptJob(const std::string& resultFile, const std::string& tag);
// Writes content to part and renames it to target, as a careful POS does: the driver never
// sees half of it.
void writeWhole(const std::filesystem::path& part, const std::filesystem::path& target,
                const std::string& content);
// param.ini in dir: the register on port, numbered jobs "print" in location, extra settings.
void writeParamIni(const std::filesystem::path& dir, const std::string& port,
                   const std::filesystem::path& location, const std::string& baud = "9600",
                   const std::string& extra = "[print_code] true N\r\n");
// Waits until the result file holds its job's "exitcode = " line.
bool awaitResult(const std::filesystem::path& result, std::chrono::milliseconds timeout);

// merovan-cli polling an exchange directory, talking to merovan-register on a
// pseudo-terminal, laid out as the package lays it out: a working directory with param.ini,
// the data files and the journal, and an exchange directory where any user may drop jobs.
// Both programs run as service_ when it is set, else as the test's own user.
class ExchangeFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // argv, run as user when one is given.
    std::vector<std::string> as(const std::optional<SystemUser>& user,
                                std::vector<std::string> argv) const;
    // The register, answering as the scenario says; the working directory becomes the
    // service user's.
    void startRegister(const std::string& scenario = "");
    // param.ini naming the exchange directory (numbered jobs "print") and the register's port
    // (by default the simulator's).
    void writeParam(const std::string& port = {}, const std::string& baud = "9600") const {
        writeParamIni(work_, port.empty() ? device_ : port, exchange_, baud);
    }
    // merovan-cli with result files confined to the exchange directory, and more options.
    std::unique_ptr<ChildProcess> startCli(std::vector<std::string> options = {}) const;

    // Writes a job whole and renames it into the exchange directory.
    void dropJob(const std::string& name, const std::string& content) const {
        writeWhole(base_ / (name + ".part"), exchange_ / name, content);
    }

    std::string traffic() const { return readFile(work_ / "traffic.txt"); }
    std::size_t countInTraffic(const std::string& line) const;

    std::optional<SystemUser> service_;
    std::filesystem::path base_;
    std::filesystem::path work_;
    std::filesystem::path exchange_;
    std::optional<ChildProcess> register_;
    std::string device_;
};

}  // namespace merovan::testing
