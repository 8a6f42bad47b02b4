#include "core/driver/driver.h"

#include <exception>
#include <fstream>

#include "core/common/canonical_path.h"
#include "core/common/codepage.h"
#include "core/common/message_box.h"
#include "core/common/regular_file.h"
#include "core/driver/default_services.h"
#include "core/driver/helper_program.h"
#include "core/driver/recovery.h"
#include "core/driver/texts.h"
#include "core/jobs/job_file.h"
#include "core/jobs/readiness.h"
#include "core/link/local_address.h"

namespace merovan::driver {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t kMaxJobBytes = 1024 * 1024;

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir == ".") {
        return name;
    }
    return dir.ends_with('/') || dir.ends_with('\\') ? dir + name : dir + "/" + name;
}

DriverServices withDefaults(DriverServices services) {
    if (!services.runJob) {
        services.runJob = defaultJobRunner();
    }
    if (!services.readParams) {
        services.readParams = defaultParamReader();
    }
    if (!services.runHelper) {
        services.runHelper = startConversionHelper;
    }
    if (!services.localAddress) {
        services.localAddress = [] { return link::LocalAddressLookup(); };
    }
    return services;
}

}  // namespace

Driver::Driver(Operator& op, Clock& clock, DriverServices services, DriverOptions options)
    : op_(op),
      clock_(clock),
      services_(withDefaults(std::move(services))),
      options_(std::move(options)),
      link_(op_, clock, services_.transports),
      journal_(joinPath(options_.workDir, options_.journalName)),
      supervision_(options_.retryWhileOffline) {
    link_.setLocalAddressLookup(services_.localAddress);
}

void Driver::setTimer(TimerSetting& timer, bool enabled,
                      std::optional<std::chrono::milliseconds> interval) {
    if (interval) {
        timer.interval = *interval;
    }
    if (enabled && (!timer.enabled || interval)) {
        ++timer.generation;
    }
    timer.enabled = enabled;
}

void Driver::showState(std::string_view status, std::string_view caption) {
    op_.setStatus(std::string(status));
    op_.setCaption(std::string(caption));
}

void Driver::showSettings() {
    const auto& s = settings_;
    SettingsView view;
    view.serial = common::cp1253ToUtf8(link_.linkAddress());
    view.baud = common::cp1253ToUtf8(s.baud);
    view.file = common::cp1253ToUtf8(s.file + " @Path : " + s.location);
    view.ecr = common::cp1253ToUtf8(s.ecrt);
    view.desc = s.printDesc == "true" ? "Να Εκτυπώνεται" : "Να ΜΗΝ Εκτυπώνεται";
    view.comments = s.comments == "fals" ? "Οχι" : "Nαι";
    if (s.currency == "0" || s.currency == "1") {
        view.currency = "Κύριο Νόμισμα";
    } else if (s.currency == "2") {
        view.currency = "Δευτερεύων Νομισμα";
    }
    op_.showSettings(view);
}

void Driver::startupFailure(const std::string& what) {
    setTimer(timer1_, false);
    op_.setWindowShown(false);
    op_.showSettingsDialog();
    ShowMessage(op_, std::string(texts::kErrorPrefix) + "\r" + what, common::buttons::kCritical);
}

bool Driver::load() {
    std::string error;
    auto read = services_.readParams(joinPath(options_.workDir, "param.ini"), false, error);
    if (!read) {
        ShowMessage(op_, error, common::buttons::kCritical);
        return false;
    }
    settings_ = *read;
    autoStart_ = settings_.autoStart;
    link_.setLinkAddress(settings_.linkAddress);
    showSettings();
    try {
        showState(texts::kStatusSearching, texts::kCaptionSearching);
        op_.setWindowShown(true);
        setTimer(timer2_, true, 1000ms);
        setTimer(mTimer_, true, 1000ms);
        op_.enableControl(Control::Start, false);
        op_.enableControl(Control::Stop, false);
        setTimer(timer1_, false);
        loadJournal();
    } catch (const std::exception& failure) {
        startupFailure(failure.what());
        return false;
    }
    return true;
}

void Driver::loadJournal() {
    std::string problem;
    const auto interrupted = journal_.load(problem);
    if (!problem.empty()) {
        op_.setStatus(problem);
        op_.log(problem);
    }
    // The register is asked what became of them before the next job goes out.
    for (const auto& job : interrupted) {
        const std::string text =
            std::string(texts::kInterruptedJob) + common::cp1253ToUtf8(job.jobPath);
        op_.setStatus(text);
        op_.log(text);
    }
    interrupted_ = interrupted;
}

bool Driver::recoverInterruptedJobs() {
    if (!interrupted_.empty()) {
        const auto recovered = RecoverInterruptedJobs(link_, op_, clock_, interrupted_);
        if (!recovered) {
            return false;
        }
        interrupted_.clear();
        for (const auto& done : *recovered) {
            std::string error;
            if (done.what == Recovered::PrintAgain) {
                // Its started mark stays until the new run replaces it, so that a crash in
                // between brings it back here.
                reprints_.push_back(done.job.jobPath);
            } else if (!journal_.markDone(done.job.jobPath, error)) {
                op_.log(error);
            }
        }
    }
    while (!reprints_.empty()) {
        if (!runJob(reprints_.front())) {
            return false;
        }
        reprints_.erase(reprints_.begin());
    }
    return true;
}

int Driver::runCommandLine(const CommandLineJob& job,
                           std::optional<std::chrono::seconds> giveUpAfter,
                           const std::function<bool()>& stopRequested) {
    commandLine_ = job;
    settings_ = job.settings;
    link_.setLinkAddress(settings_.linkAddress);
    showSettings();
    showState(texts::kStatusSearching, texts::kCaptionSearching);
    op_.enableControl(Control::Start, false);
    op_.enableControl(Control::Stop, false);
    setTimer(timer2_, false);
    setTimer(timer1_, true, 3000ms);

    const auto begin = clock_.now();
    while (true) {
        if (stopRequested && stopRequested()) {
            return kGaveUp;
        }
        const auto attempt = clock_.now();
        if (link_.SendCommand("KXCL", linkErrorText_, false) == 0) {
            break;
        }
        // A port that cannot be opened or set up is never reported by the exchange itself;
        // without this the operator would only see the driver waiting.
        op_.setStatus(common::cp1253ToUtf8(linkErrorText_));
        if (giveUpAfter && clock_.now() - begin >= *giveUpAfter) {
            op_.log("Ο Φορολογικός Εκτυπωτής δεν απάντησε· η εργασία δεν στάλθηκε: " +
                    common::cp1253ToUtf8(job.jobPath));
            return kGaveUp;
        }
        // A port that fails at once would otherwise be asked thousands of times a second.
        if (clock_.now() - attempt < 1s) {
            clock_.sleep(std::chrono::duration_cast<std::chrono::milliseconds>(
                1s - (clock_.now() - attempt)));
        }
    }
    showState(texts::kStatusOnline, texts::kCaptionReady);
    op_.enableControl(Control::Start, true);

    flags_ = {};
    jobs::JobContext context{link_, op_, clock_, flags_};
    jobs::JobOutcome outcome;
    try {
        outcome = services_.runJob(job.jobPath, jobSettings(), context);
    } catch (const std::exception& failure) {
        outcome.readable = false;
        outcome.error = failure.what();
    }
    if (services_.afterJob) {
        services_.afterJob(job.jobPath, outcome);
    }
    if (!outcome.readable) {
        ShowMessage(op_, std::string(texts::kErrorPrefix) + "\r" + outcome.error,
                    common::buttons::kCritical);
        return kJobUnreadable;
    }
    jobs::DeleteFileQuietly(job.jobPath);
    runHelperIfAsked();
    return outcome.exitCode == 1 ? kJobAborted : kJobDone;
}

jobs::JobSettings Driver::jobSettings() const {
    jobs::JobSettings s;
    s.printDesc = settings_.printDesc;
    s.printCode = settings_.printCode;
    s.comments = settings_.comments;
    s.time = settings_.time;
    s.currency = settings_.currency;
    s.keybOff = settings_.keybOff;
    s.ecrt = settings_.ecrt;
    s.dirDepa = settings_.dirDepa;
    s.quantity = settings_.quantity;
    s.decimalSeparator = options_.decimalSeparator;
    s.workDir = options_.workDir;
    return s;
}

void Driver::supervisionTick() {
    if (supervision_.tick(link_, op_, clock_, linkErrorText_) ==
        supervision::LinkSupervision::Outcome::Online) {
        goOnline();
    }
}

void Driver::goOnline() {
    showState(texts::kStatusOnline, texts::kCaptionReady);
    op_.enableControl(Control::Start, true);
    setTimer(timer2_, false);
    op_.enableControl(Control::ReportsMenu, true);
    if (options_.startWhenOnline.value_or(autoStart_)) {
        startPrinting();
        if (autoStart_) {
            op_.setWindowShown(false);
        }
    }
}

void Driver::runHelperIfAsked() {
    if (!commandLine_ || !commandLine_->commandLine.ends_with('`')) {
        return;
    }
    std::string error;
    if (!services_.runHelper(options_.workDir, error)) {
        op_.log(error);
    }
}

void Driver::startPrinting() {
    if (!commandLine_) {
        setTimer(timer1_, true, 1000ms);
    } else {
        setTimer(timer1_, true);
    }
    op_.enableControl(Control::Start, false);
    op_.enableControl(Control::Stop, true);
    runHelperIfAsked();
    showState(texts::kStatusWaiting, texts::kCaptionWaiting);
    op_.enableControl(Control::ReportsMenu, false);
    op_.enableControl(Control::SettingsMenu, false);
}

void Driver::stopPrinting() {
    setTimer(timer1_, false);
    op_.enableControl(Control::Stop, false);
    op_.enableControl(Control::Start, true);
    showState(texts::kStatusStopped, texts::kCaptionStopped);
    op_.enableControl(Control::ReportsMenu, true);
    op_.enableControl(Control::SettingsMenu, true);
}

void Driver::trayStart() {
    if (startEnabled()) {
        startPrinting();
    }
}

void Driver::trayStop() {
    if (stopEnabled()) {
        stopPrinting();
    }
}

void Driver::trayZReport() {
    stopPrinting();
    report(supervision::Report::ZDaily);
}

void Driver::report(supervision::Report report) {
    // The reports menu is off while polling or searching; an action posted before it went
    // off must not slip a report between two jobs.
    if (!reportsEnabled()) {
        return;
    }
    supervision::RunReport(link_, op_, report);
}

void Driver::clearError() {
    supervision::errorclear(link_);
    // The register answers again: supervision may look for it anew, even after off-line.
    if (link_.registerStatus() == 0) {
        supervision_.resetFailures();
    }
}

void Driver::settingsDialogShown(bool shown) {
    if (shown) {
        setTimer(timer2_, false);
    } else if (!timer1_.enabled) {
        // Found again, the register goes through the on-line steps again, auto-start included.
        setTimer(timer2_, true, 1000ms);
    }
}

void Driver::shutdown() {
    setTimer(timer1_, false);
    setTimer(timer2_, false);
    setTimer(mTimer_, false);
    link_.CloseLink();
}

void Driver::housekeepingTick() {
    if (!startEnabled() && !stopEnabled()) {
        op_.setTrayChecks(false, false);
    } else {
        op_.setTrayChecks(!startEnabled(), !stopEnabled());
    }
}

bool Driver::refreshPollSettings() {
    if (commandLine_) {
        settings_ = commandLine_->settings;
        return true;
    }
    std::string error;
    auto read = services_.readParams(joinPath(options_.workDir, "param.ini"), true, error);
    if (!read) {
        // Keep polling with the settings in force: a file briefly absent while it is saved
        // must not end a driver that nobody watches.
        if (error != paramError_) {
            op_.log(error);
            paramError_ = error;
        }
        return !settings_.multiType.empty();
    }
    paramError_.clear();
    settings_ = *read;
    return true;
}

bool Driver::isProcessed(const std::string& jobPath) const {
    const std::string canonical = common::canonicalPath(jobPath);
    const auto stamp = common::regularFileStamp(canonical);
    if (!stamp || !journal_.knowsStamp(canonical, *stamp)) {
        return false;
    }
    const auto file = common::readRegularFile(canonical, kMaxJobBytes);
    return file &&
           journal_.isProcessed(canonical,
                                jobs::JobFingerprint{file->stamp, jobs::hashJobBytes(file->bytes)});
}

std::optional<std::string> Driver::watchDirectory() const {
    if (!timer1_.enabled || (settings_.multiType != "true" && settings_.multiType != "fals")) {
        return std::nullopt;
    }
    return jobs::jobPlace(settings_.location, settings_.file).directory;
}

void Driver::directoryChanged(const std::string& name) {
    if (!timer1_.enabled) {
        return;
    }
    if (jobs::mayBeJobName(name, jobs::jobPlace(settings_.location, settings_.file))) {
        pollTick();
    }
}

bool Driver::runJob(const std::string& jobPath) {
    const std::string canonical = common::canonicalPath(jobPath);
    const auto file = common::readRegularFile(canonical, kMaxJobBytes);
    if (!file) {
        return true;
    }
    std::string error;
    if (!journal_.markStarted(canonical,
                              jobs::JobFingerprint{file->stamp, jobs::hashJobBytes(file->bytes)},
                              jobs::FindResultFile(file->bytes), error)) {
        op_.setStatus(error);
        op_.log(error);
        return false;
    }
    jobs::DeleteFileQuietly(options_.endMarker);
    if (receiptCounter_ < INT64_MAX) {
        ++receiptCounter_;
    }
    op_.setReceiptCount(receiptCounter_);
    flags_ = {};
    jobs::JobContext context{link_, op_, clock_, flags_};
    context.beforeClosingPayment = [this, &canonical] {
        std::string error;
        if (journal_.markClosing(canonical, error)) {
            return true;
        }
        op_.setStatus(error);
        op_.log(error);
        return false;
    };
    jobs::JobOutcome outcome;
    try {
        outcome = services_.runJob(jobPath, jobSettings(), context);
    } catch (const std::exception& failure) {
        outcome.readable = false;
        outcome.error = failure.what();
        op_.log(failure.what());
    }
    if (!journal_.markDone(canonical, error)) {
        op_.log(error);
    }
    if (!outcome.readable) {
        op_.log(std::string(texts::kErrorPrefix) + common::cp1253ToUtf8(jobPath) + ": " +
                outcome.error);
    }
    if (services_.afterJob) {
        services_.afterJob(jobPath, outcome);
    }
    return true;
}

void Driver::pollTick() {
    op_.setProgressText("-");
    if (!refreshPollSettings() || !recoverInterruptedJobs()) {
        return;
    }
    const auto isReady = [](const std::string& path) { return jobs::IsJobFileReady(path); };
    const auto processed = [this](const std::string& path) { return isProcessed(path); };
    if (settings_.multiType == "fals") {
        const std::string jobPath = settings_.location + settings_.file;
        if (!processed(jobPath) && isReady(jobPath)) {
            const std::ofstream emptied(joinPath(options_.workDir, "receipt.txt"), std::ios::trunc);
            runJob(jobPath);
            if (common::toUpper1253(jobPath).ends_with("PRG.1")) {
                jobs::DeleteFileQuietly(jobPath);
            }
        }
        return;
    }
    if (settings_.multiType != "true") {
        return;
    }
    const auto jobPath =
        jobs::findNumberedJob(settings_.location, settings_.file, isReady, processed);
    if (!jobPath) {
        return;
    }
    runJob(*jobPath);
    if (jobPath->ends_with("prg.1")) {
        jobs::DeleteFileQuietly(*jobPath);
    }
    showState(texts::kStatusWaitingAfterJob, texts::kCaptionWaitingAfterJob);
}

}  // namespace merovan::driver
