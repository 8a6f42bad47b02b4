#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/driver/driver.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace merovan::testing {

// A driver on a scripted register and a fake clock, with a job runner that sends one command
// per job and a param.ini held in memory.
class DriverFixture : public ::testing::Test {
  protected:
    DriverFixture();
    ~DriverFixture() override;

    void makeDriver(driver::DriverOptions options = {});
    // Start-up, the first supervision tick (register answers) and Start.
    void startPolling();
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void writeFile(const std::string& name, const std::string& content) const;
    // The job file names handed to the job runner, in order.
    std::vector<std::string> jobNames() const;
    // The silent register: no command is ever answered.
    void silenceRegister();

    std::filesystem::path dir_;
    std::filesystem::path workDir_;  // param.ini and the journal; empty: dir_
    FakeClock clock_;
    ScriptedTransport register_{clock_};
    RecordingOperator op_;
    settings::ParamSettings params_;
    bool paramsReadable_ = true;
    std::vector<std::string> jobsRun_;
    std::vector<std::string> contentsRun_;  // the bytes each job was handed
    jobs::JobOutcome nextOutcome_;
    std::function<void(const std::string& jobPath)> duringJob_;  // runs inside the fake job
    bool realInterpreter_ = false;
    std::unique_ptr<driver::Driver> driver_;
};

}  // namespace merovan::testing
