#include "driver_fixture.h"

#include "core/common/canonical_path.h"
#include "core/common/regular_file.h"
#include "core/jobs/job_journal.h"

namespace merovan::testing {

using namespace std::chrono_literals;

DriverFixture::DriverFixture() {
    params_.jobFiles = settings::JobFiles::Numbered;
    params_.file = "print";
    params_.location = (dir_ / "").string();
    params_.linkAddress = "com1:9600";
    params_.receipt.printDescription = settings::Flag::On;
    params_.receipt.comments = settings::Comments::Off;
    params_.receipt.currency = settings::Currency::Main;
}

void DriverFixture::makeDriver(driver::DriverOptions options) {
    options.workDir = workDir_.empty() ? dir_.string() : workDir_.string();
    options.endMarker = path("end.txt");
    // Every job is written whole before the tick that should take it; no watch runs here.
    options.quietPeriod = std::chrono::milliseconds(0);
    driver::DriverServices services;
    services.transports = register_.factory();
    services.observer = observer_;
    services.readParams = [this](
                              const std::string&,
                              settings::ParamReadMode) -> common::Result<settings::ParamSettings> {
        if (!paramsReadable_) {
            return common::Error{"param.ini: not found"};
        }
        return params_;
    };
    if (!realInterpreter_) {
        services.runJob = [this](const std::string& jobPath, std::string_view content,
                                 const jobs::JobSettings&, jobs::JobContext& context) {
            contentsRun_.emplace_back(content);
            jobsRun_.push_back(jobPath);
            context.session.send("KXJOB " + std::filesystem::path(jobPath).filename().string());
            if (duringJob_) {
                duringJob_(jobPath);
            }
            return nextOutcome_;
        };
    }
    services.runHelper = [](const std::string&) -> common::Result<void> {
        return common::Error{"cop2fis.sh: No such file or directory"};
    };
    driver_ = std::make_unique<driver::Driver>(op_, clock_, services, options);
}

void DriverFixture::startPolling() {
    if (!driver_) {
        makeDriver();
    }
    ASSERT_TRUE(driver_->load());
    driver_->supervisionTick();
    driver_->startPrinting();
    ASSERT_TRUE(driver_->polling());
}

void DriverFixture::goOffline(std::chrono::seconds betweenTicks) {
    ASSERT_TRUE(driver_->load());
    for (int tick = 0; tick < 4; ++tick) {
        driver_->supervisionTick();
        clock_.advance(betweenTicks);
    }
    ASSERT_EQ(op_.caption(), "Merovan- Λάθος!");
}

int DriverFixture::runJob(const std::string& name, std::optional<std::chrono::seconds> giveUpAfter,
                          const std::string& tail, const std::string& port) {
    driver::CommandLineJob job;
    job.settings.linkAddress = port;
    job.settings.baud = "9600";
    job.settings.jobFiles = settings::JobFiles::Single;
    job.jobPath = path(name);
    job.commandLine = port + ",9600," + job.jobPath + ",0,vesko,1111111" + tail;
    return driver_->runCommandLine(job, giveUpAfter);
}

std::vector<std::string> DriverFixture::jobNames() const {
    std::vector<std::string> names;
    for (const auto& job : jobsRun_) {
        names.push_back(std::filesystem::path(job).filename().string());
    }
    return names;
}

void DriverFixture::leaveInterruptedJob(const std::string& content, const std::string& resultFile,
                                        bool closingSent) {
    write("print.1", content);
    jobs::JobJournal journal(path("merovan.jnl"));
    std::string error;
    journal.load(error);
    const std::string job = common::canonicalPath(path("print.1"));
    const auto file = common::readRegularFile(job, 1024);
    ASSERT_TRUE(journal.markStarted(job, {file->stamp, jobs::hashJobBytes(file->bytes)},
                                    path(resultFile), error));
    ASSERT_TRUE(!closingSent || journal.markClosing(job, error));
}

// The silent register: no command is ever answered.
void DriverFixture::silenceRegister() {
    register_.setResponder(
        [](const std::string&) { return std::vector<ScriptedTransport::Piece>{}; });
}

void DriverFixture::answerEveryCommand() {
    register_.setResponder([](const std::string&) {
        return std::vector<ScriptedTransport::Piece>{{0ms, ScriptedTransport::okReply()}};
    });
}

}  // namespace merovan::testing
