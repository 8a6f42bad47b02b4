#include "driver_fixture.h"

#include <atomic>

namespace merovan::testing {

DriverFixture::DriverFixture() {
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("merovan-driver-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    params_.multiType = "true";
    params_.file = "print";
    params_.location = (dir_ / "").string();
    params_.linkAddress = "com1:9600";
    params_.printDesc = "true";
    params_.comments = "fals";
    params_.currency = std::string(1, '1');  // GCC 12 misreads a one-letter literal here
}

DriverFixture::~DriverFixture() {
    driver_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void DriverFixture::makeDriver(driver::DriverOptions options) {
    options.workDir = workDir_.empty() ? dir_.string() : workDir_.string();
    options.endMarker = path("end.txt");
    // Every job is written whole before the tick that should take it; no watch runs here.
    options.quietPeriod = std::chrono::milliseconds(0);
    driver::DriverServices services;
    services.transports = register_.factory();
    services.readParams = [this](const std::string&, bool,
                                 std::string& error) -> std::optional<settings::ParamSettings> {
        if (!paramsReadable_) {
            error = "param.ini: not found";
            return std::nullopt;
        }
        return params_;
    };
    services.runJob = [this](const std::string& jobPath, std::string_view content,
                             const jobs::JobSettings&, jobs::JobContext& context) {
        contentsRun_.emplace_back(content);
        const std::string name = std::filesystem::path(jobPath).filename().string();
        jobsRun_.push_back(jobPath);
        std::string reply;
        std::string command = "KXJOB ";
        command += name;
        context.link.SendCommand(command, reply, false);
        if (duringJob_) {
            duringJob_(jobPath);
        }
        return nextOutcome_;
    };
    if (realInterpreter_) {
        services.runJob = nullptr;
    }
    services.runHelper = [](const std::string&, std::string& error) {
        error = "cop2fis.sh: No such file or directory";
        return false;
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

void DriverFixture::writeFile(const std::string& name, const std::string& content) const {
    std::ofstream(path(name), std::ios::binary) << content;
}

std::vector<std::string> DriverFixture::jobNames() const {
    std::vector<std::string> names;
    for (const auto& job : jobsRun_) {
        names.push_back(std::filesystem::path(job).filename().string());
    }
    return names;
}

void DriverFixture::silenceRegister() {
    register_.setResponder(
        [](const std::string&) { return std::vector<ScriptedTransport::Piece>{}; });
}

}  // namespace merovan::testing
