#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/driver/driver.h"
#include "support/fake_clock.h"
#include "support/job_dir_fixture.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace merovan::testing {

// A driver on a scripted register and a fake clock, with a job runner that sends one command
// per job and a param.ini held in memory, in a fresh exchange directory.
class DriverFixture : public jobs::JobFilesTest {
  protected:
    DriverFixture();
    ~DriverFixture() override { driver_.reset(); }

    void makeDriver(driver::DriverOptions options = {});
    // Start-up, the first supervision tick (register answers) and Start.
    void startPolling();
    // Start-up and the four failed supervision ticks that take the register off-line.
    void goOffline(std::chrono::seconds betweenTicks = {});
    // A command-line run of job file `name`; `port` may leave the speed to the next field.
    int runJob(const std::string& name, std::optional<std::chrono::seconds> giveUpAfter = {},
               const std::string& tail = "", const std::string& port = "com1:9600");
    void pollTicks(int count) {
        for (int tick = 0; tick < count; ++tick) {
            driver_->pollTick();
        }
    }
    // The job file names handed to the job runner, in order.
    std::vector<std::string> jobNames() const;
    // print.1 holding content, as the journal of a driver killed in it left it.
    void leaveInterruptedJob(const std::string& content, const std::string& resultFile,
                             bool closingSent = false);
    void silenceRegister();
    void answerEveryCommand();

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
    common::DriverObserver* observer_ = nullptr;  // told what the driver does
    std::unique_ptr<driver::Driver> driver_;
};

}  // namespace merovan::testing
