#include "core/driver/driver.h"
#include "core/supervision/reports.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>

#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/message_box.h"
#include "core/common/status_file_names.h"
#include "core/common/texts.h"
#include "core/driver/default_services.h"
#include "core/driver/helper_program.h"
#include "core/driver/recovery.h"
#include "core/jobs/file_places.h"
#include "core/jobs/job_reading.h"
#include "core/jobs/readiness.h"
#include "core/link/local_address.h"
#include "core/settings/command_line.h"
#include "core/settings/settings_check.h"

namespace merovan::driver {
namespace {

using namespace std::chrono_literals;

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
        services.readParams = settings::readParamFile;
    }
    if (!services.runHelper) {
        services.runHelper = startConversionHelper;
    }
    if (!services.localAddress) {
        services.localAddress = [] { return link::localAddressLookup(); };
    }
    return services;
}

}  // namespace

Driver::Driver(common::Operator& op, common::Clock& clock, DriverServices services,
               DriverOptions options)
    : observedOp_(op),
      op_(observedOp_),
      clock_(clock),
      services_(withDefaults(std::move(services))),
      options_(std::move(options)),
      link_(op_, clock, services_.transports),
      session_(link_, op_, clock),
      journal_(joinPath(options_.workDir, options_.journalName)),
      pickup_(journal_),
      readiness_(options_.quietPeriod),
      supervision_(options_.retryWhileOffline) {
    link_.setLocalAddressLookup(services_.localAddress);
    observedOp_.setObserver(services_.observer);
    session_.setObserver(services_.observer);
    std::vector<std::string> ownFiles{options_.endMarker, journal_.path(), journal_.path() + ".bad",
                                      journal_.path() + ".new"};
    for (const char* name : {"param.ini", "vats.dat", "payeft.dat", "merovan.conf", "receipt.txt",
                             common::kStatusFileName, common::kStatusLockName}) {
        ownFiles.push_back(joinPath(options_.workDir, name));
    }
    pickup_.setOwnFiles(ownFiles);
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

void Driver::setState(common::DriverState state) {
    state_ = state;
    op_.setDriverState(state);
}

void Driver::showSettings() {
    const auto& s = settings_;
    common::SettingsView view;
    view.serial = common::cp1253ToUtf8(s.linkAddress);
    view.baud = common::cp1253ToUtf8(s.baud);
    view.file = common::cp1253ToUtf8(s.file + " @Path : " + s.location);
    view.ecr = common::cp1253ToUtf8(s.registerFamilyText);
    view.desc =
        s.receipt.printDescription == settings::Flag::On ? "Να Εκτυπώνεται" : "Να ΜΗΝ Εκτυπώνεται";
    view.comments = s.receipt.comments == settings::Comments::Off ? "Οχι" : "Nαι";
    switch (s.receipt.currency) {
        case settings::Currency::AsJob:
        case settings::Currency::Main:
            view.currency = "Κύριο Νόμισμα";
            break;
        case settings::Currency::Secondary:
            view.currency = "Δευτερεύων Νομισμα";
            break;
        case settings::Currency::Type3:
        case settings::Currency::Other:
            break;  // the label stays as it is
    }
    op_.showSettings(view);
}

void Driver::startupFailure(const std::string& what) {
    setTimer(timer1_, false);
    op_.setWindowShown(false);
    op_.showSettingsDialog();
    common::showMessageBox(op_, std::string(common::texts::kErrorPrefix) + "\r" + what,
                           common::buttons::kCritical);
}

bool Driver::load() {
    auto read = services_.readParams(joinPath(options_.workDir, "param.ini"),
                                     settings::ParamReadMode::Startup);
    if (!read) {
        common::showMessageBox(op_, read.error().what, common::buttons::kCritical);
        return false;
    }
    settings_ = *read;
    autoStart_ = settings_.autoStart;
    link_.setLinkAddress(settings_.linkAddress);
    showSettings();
    try {
        showState(common::texts::kStatusSearching, common::texts::kCaptionSearching);
        op_.setWindowShown(true);
        setTimer(timer2_, true, 1000ms);
        setState(common::DriverState::Searching);
        setTimer(timer1_, false);
        // Said at start: otherwise the driver would only wait, or blame the register.
        for (const auto& problem : settings::settingsProblems(settings_)) {
            op_.setStatus(problem.what);
            op_.log(problem.what);
        }
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
    pickup_.noteResultFiles(journal_.resultFiles());
    // The register is asked what became of them before the next job goes out.
    for (const auto& job : interrupted) {
        const std::string text =
            std::string(common::texts::kInterruptedJob) + common::cp1253ToUtf8(job.jobPath);
        op_.setStatus(text);
        op_.log(text);
        observer().jobEnded(common::JobEnding::Interrupted, 0);
    }
    interrupted_ = interrupted;
}

bool Driver::recoverInterruptedJobsAtStart() {
    if (!interrupted_.empty()) {
        const auto recovered =
            recoverInterruptedJobs(session_, op_, clock_, interrupted_, jobSettings().resultRules);
        if (!recovered) {
            return false;
        }
        interrupted_.clear();
        for (const auto& done : *recovered) {
            std::string error;
            if (options_.postedJobs) {
                options_.postedJobs->recovered(done.job.jobPath, done.what);
            }
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
        if (takeJob(reprints_.front(), false, true) == Taken::NotSent) {
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
    link_.setLinkAddress(settings::commandLineLinkAddress(settings_));
    showSettings();
    showState(common::texts::kStatusSearching, common::texts::kCaptionSearching);
    setState(common::DriverState::Searching);
    setTimer(timer2_, false);
    setTimer(timer1_, true, 3000ms);

    std::optional<common::Clock::TimePoint> giveUpAt;
    if (giveUpAfter) {
        giveUpAt = clock_.now() + *giveUpAfter;
    }
    if (!awaitRegister(giveUpAt, stopRequested)) {
        return GaveUp;
    }
    showState(common::texts::kStatusOnline, common::texts::kCaptionReady);
    setState(common::DriverState::OneJob);

    const jobs::JobRead read = jobs::readJobFile(job.jobPath);
    jobs::JobOutcome outcome;
    if (read.refusal != jobs::JobRefusal::None) {
        jobs::writeRefusal(job.jobPath, read, common::formatDateTime(clock_.localDateTime()),
                           jobSettings().resultRules);
        outcome.readable = false;
        outcome.error = read.error;
        observer().jobEnded(common::JobEnding::Refused,
                            link::statusNumber(jobs::refusalStatus(read.refusal)));
        if (services_.afterJob) {
            services_.afterJob(job.jobPath, outcome);
        }
    } else {
        outcome = runJob(job.jobPath, {}, read.bytes);
    }
    if (!outcome.readable) {
        common::showMessageBox(op_, std::string(common::texts::kErrorPrefix) + "\r" + outcome.error,
                               common::buttons::kCritical);
        return JobUnreadable;
    }
    // The POS takes a job that is still there for one not yet printed.
    if (std::string why; !jobs::deleteFile(job.jobPath, why)) {
        op_.log(std::string(common::texts::kJobNotDeleted) + common::cp1253ToUtf8(why));
    }
    runHelperIfAsked();
    return outcome.exitCode == 1 ? JobAborted : JobDone;
}

bool Driver::awaitRegister(std::optional<common::Clock::TimePoint> giveUpAt,
                           const std::function<bool()>& stopRequested) {
    // The limit holds inside an exchange too: a silent register is not waited for past it.
    link_.setGiveUpAt(giveUpAt);
    while (!(stopRequested && stopRequested())) {
        if (giveUpAt && clock_.now() >= *giveUpAt) {
            op_.log("Ο Φορολογικός Εκτυπωτής δεν απάντησε· η εργασία δεν στάλθηκε: " +
                    common::cp1253ToUtf8(commandLine_->jobPath));
            break;
        }
        const auto attempt = clock_.now();
        link::ExchangeOutcome cleared = session_.send("KXCL");
        linkErrorText_ = std::move(cleared.reply);
        if (cleared.succeeded()) {
            link_.setGiveUpAt(std::nullopt);
            observer().registerReachable(true);
            return true;
        }
        // A port that cannot be opened or set up is never reported by the exchange itself;
        // without this the operator would only see the driver waiting.
        op_.setStatus(common::cp1253ToUtf8(linkErrorText_));
        // A port that fails at once would otherwise be asked thousands of times a second.
        auto pause = 1s - (clock_.now() - attempt);
        if (giveUpAt) {
            pause = std::min(pause, *giveUpAt - clock_.now());
        }
        if (pause > 0s) {
            clock_.sleep(std::chrono::ceil<std::chrono::milliseconds>(pause));
        }
    }
    link_.setGiveUpAt(std::nullopt);
    return false;
}

jobs::JobSettings Driver::jobSettings() const {
    jobs::JobSettings s;
    s.receipt = settings_.receipt;
    s.decimalSeparator = options_.decimalSeparator;
    s.workDir = options_.workDir;
    s.resultRules.ownFiles = jobs::ownFilesOf(options_.workDir, options_.journalName);
    s.resultRules.allowedDirs = options_.resultDirs;
    return s;
}

void Driver::supervisionTick() {
    using Outcome = supervision::LinkSupervision::Outcome;
    const Outcome outcome = supervision_.tick(session_, op_, clock_, linkErrorText_, [this] {
        if (state_ != common::DriverState::Searching) {
            setState(common::DriverState::Searching);
        }
    });
    if (outcome == Outcome::Online) {
        goOnline();
    } else if (outcome == Outcome::Offline && state_ != common::DriverState::Offline) {
        setState(common::DriverState::Offline);
    }
}

void Driver::goOnline() {
    observer().registerReachable(true);
    showState(common::texts::kStatusOnline, common::texts::kCaptionReady);
    setTimer(timer2_, false);
    setState(common::DriverState::Ready);
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
    if (const auto started = services_.runHelper(options_.workDir); !started) {
        op_.log(started.error().what);
    }
}

void Driver::startPrinting() {
    if (!commandLine_) {
        setTimer(timer1_, true, 1000ms);
    } else {
        setTimer(timer1_, true);
    }
    setState(common::DriverState::Printing);
    runHelperIfAsked();
    showState(common::texts::kStatusWaiting, common::texts::kCaptionWaiting);
}

void Driver::stopPrinting() {
    setTimer(timer1_, false);
    setState(common::DriverState::Stopped);
    showState(common::texts::kStatusStopped, common::texts::kCaptionStopped);
}

void Driver::trayStart() {
    if (controls().start) {
        startPrinting();
    }
}

void Driver::trayStop() {
    if (controls().stop) {
        stopPrinting();
    }
}

void Driver::trayZReport() {
    stopPrinting();
    report(supervision::Report::ZDaily);
}

void Driver::report(supervision::Report report) {
    // The reports menu is off while polling, searching or reporting; an action posted before
    // it went off must not slip a report between two jobs, nor print a report twice. The
    // state is said either way: the window holds its menu off until it hears back.
    if (!controls().reports) {
        op_.setDriverState(state_);
        return;
    }
    const common::DriverState before = state_;
    setState(common::DriverState::Reporting);
    supervision::runReport(session_, op_, report);
    setState(before);
}

std::optional<link::LinkStatus> Driver::remoteReport(supervision::Report report) {
    if (state_ != common::DriverState::Printing && !controls().reports) {
        return std::nullopt;
    }
    const common::DriverState before = state_;
    setState(common::DriverState::Reporting);
    supervision::runReport(session_, op_, report);
    setState(before);
    return session_.lastStatus();
}

void Driver::clearError() {
    supervision::clearRegisterError(session_);
    // The register answers again: supervision may look for it anew, even after off-line.
    if (session_.lastStatus() == link::LinkStatus::Success) {
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
    link_.closeLink();
}

bool Driver::refreshPollSettings() {
    if (commandLine_) {
        settings_ = commandLine_->settings;
        return true;
    }
    auto read = services_.readParams(joinPath(options_.workDir, "param.ini"),
                                     settings::ParamReadMode::Polling);
    if (!read) {
        // Keep polling with the settings in force: a file briefly absent while it is saved
        // must not end a driver that nobody watches.
        if (read.error().what != paramError_) {
            op_.log(read.error().what);
            paramError_ = read.error().what;
        }
        // Polling goes on while some settings are in force.
        return settings_.jobFiles != settings::JobFiles::Unset;
    }
    paramError_.clear();
    settings_ = *read;
    return true;
}

std::optional<std::string> Driver::watchDirectory() const {
    // Watched from the start, before printing begins: a job written while nothing watched has
    // to wait out the quiet period.
    if (settings_.jobFiles != settings::JobFiles::Numbered &&
        settings_.jobFiles != settings::JobFiles::Single) {
        return std::nullopt;
    }
    return jobs::jobPlace(settings_.location, settings_.file).directory;
}

bool Driver::isJobReady(const std::string& jobPath) {
    std::string why;
    const auto place = jobs::jobPlace(settings_.location, settings_.file);
    if (!jobs::isAcceptableJobPath(jobPath, place.directory, why)) {
        if (!why.empty() && refusedJobPaths_.insert(jobPath).second) {
            op_.log(std::string(common::texts::kJobRefused) + common::cp1253ToUtf8(why));
        }
        return false;
    }
    refusedJobPaths_.erase(jobPath);
    return readiness_.isReady(jobPath);
}

bool Driver::directoryChanged(const std::string& name, jobs::FileEvent event) {
    const auto place = jobs::jobPlace(settings_.location, settings_.file);
    if (event == jobs::FileEvent::Lost) {
        readiness_.record(name, event);
        return false;
    }
    if (!jobs::mayBeJobName(name, place)) {
        return false;
    }
    readiness_.record(place.directory + name, event);
    return timer1_.enabled && event != jobs::FileEvent::Written && event != jobs::FileEvent::Gone &&
           pollTick();
}

void Driver::refuseJob(const std::string& jobPath, const jobs::JobRead& read) {
    const std::string text = std::string(common::texts::kErrorPrefix) + read.error;
    op_.setStatus(text);
    op_.log(text);
    jobs::writeRefusal(jobPath, read, common::formatDateTime(clock_.localDateTime()),
                       jobSettings().resultRules);
    observer().jobEnded(common::JobEnding::Refused,
                        link::statusNumber(jobs::refusalStatus(read.refusal)));
}

Driver::Taken Driver::takeJob(const std::string& jobPath, bool singleFile, bool again) {
    auto picked = pickup_.read(jobPath, again);
    if (picked.refused) {
        refuseJob(jobPath, *picked.refused);
        return Taken::Refused;
    }
    if (!picked.job) {
        return Taken::Nothing;
    }
    const auto& job = *picked.job;
    // With its port gone every line would fail and the job would count as done: it waits in
    // the directory until the register can be reached.
    if (!session_.ensureOpen()) {
        op_.setStatus(std::string(common::texts::kJobWaitsForRegister) + link_.downReason());
        return Taken::NotSent;
    }
    std::string error;
    if (!journal_.markStarted(job.canonicalPath, job.print, job.resultFile, error)) {
        // Sent without its mark, the job could be printed twice after a crash: it waits.
        const std::string text = std::string(common::texts::kJobNotSent) + error;
        op_.setStatus(text);
        if (text != markError_) {
            op_.log(text);
            markError_ = text;
        }
        return Taken::NotSent;
    }
    markError_.clear();
    if (singleFile) {
        const std::ofstream emptied(joinPath(options_.workDir, "receipt.txt"), std::ios::trunc);
    }
    jobs::deleteFileQuietly(options_.endMarker);
    if (receiptCounter_ < INT64_MAX) {
        ++receiptCounter_;
    }
    op_.setReceiptCount(receiptCounter_);
    if (options_.postedJobs) {
        options_.postedJobs->started(jobPath, job.resultFile);
    }
    const jobs::JobOutcome outcome = runJob(jobPath, job.canonicalPath, job.bytes);
    if (options_.postedJobs) {
        options_.postedJobs->finished(jobPath, outcome.exitCode);
    }
    if (!outcome.readable) {
        op_.log(std::string(common::texts::kErrorPrefix) + common::cp1253ToUtf8(jobPath) + ": " +
                outcome.error);
    }
    if (!journal_.markDone(job.canonicalPath, error)) {
        op_.log(error);
    }
    return Taken::Printed;
}

jobs::JobOutcome Driver::runJob(const std::string& jobPath, const std::string& canonicalPath,
                                std::string_view content) {
    flags_ = {};
    supervision::DailyZReport dailyReport(session_, op_);
    jobs::JobContext context{session_, op_, clock_, flags_, dailyReport};
    // A job the journal does not follow (the command line's) closes without a mark.
    if (!canonicalPath.empty()) {
        context.beforeClosingPayment = [this, &canonicalPath] {
            std::string error;
            if (journal_.markClosing(canonicalPath, error)) {
                return true;
            }
            op_.setStatus(error);
            op_.log(error);
            return false;
        };
    }
    observer().jobStarted();
    jobs::JobOutcome outcome;
    try {
        outcome = services_.runJob(jobPath, content, jobSettings(), context);
    } catch (const std::exception& failure) {
        outcome.readable = false;
        outcome.error = failure.what();
        op_.log(failure.what());
    }
    if (!outcome.readable) {
        observer().jobEnded(common::JobEnding::Refused,
                            link::statusNumber(link::LinkStatus::JobUnreadable));
    } else {
        observer().jobEnded(
            outcome.exitCode == 1 ? common::JobEnding::Aborted : common::JobEnding::Done, 0);
    }
    if (services_.afterJob) {
        services_.afterJob(jobPath, outcome);
    }
    return outcome;
}

Driver::Taken Driver::takePostedJob() {
    if (!options_.postedJobs) {
        return Taken::Nothing;
    }
    const auto jobPath = options_.postedJobs->nextJobPath();
    if (!jobPath) {
        return Taken::Nothing;
    }
    // Written whole before it was accepted: no readiness to wait for.
    const Taken taken = takeJob(*jobPath, false);
    if (taken == Taken::Nothing || taken == Taken::Refused) {
        // On record already, or refused unread: it is not offered again.
        options_.postedJobs->passedOver(*jobPath);
        return Taken::Refused;
    }
    return taken;
}

bool Driver::pollTick() {
    const bool taken = pollOnce();
    // Counting costs a look at every candidate: only when somebody watches.
    if (services_.observer != nullptr) {
        observer().queueLength(waitingJobs());
    }
    return taken;
}

std::size_t Driver::waitingJobs() {
    const bool patterns = settings_.file.find('*') != std::string::npos;
    const auto waits = [this, patterns](const std::string& path) {
        std::error_code error;
        return std::filesystem::is_regular_file(path, error) && !pickup_.passOver(path, patterns);
    };
    if (settings_.jobFiles == settings::JobFiles::Single) {
        return waits(settings_.location + settings_.file) ? 1 : 0;
    }
    if (settings_.jobFiles != settings::JobFiles::Numbered) {
        return 0;
    }
    const auto candidates = jobs::numberedJobCandidates(settings_.location, settings_.file);
    return static_cast<std::size_t>(std::ranges::count_if(candidates, waits));
}

bool Driver::pollOnce() {
    op_.setProgressText("-");
    if (!refreshPollSettings() || !recoverInterruptedJobsAtStart()) {
        return false;
    }
    pickup_.beginTick();
    if (const Taken posted = takePostedJob(); posted != Taken::Nothing) {
        return posted != Taken::NotSent;
    }
    const auto isReady = [this](const std::string& path) { return isJobReady(path); };
    const bool patterns = settings_.file.find('*') != std::string::npos;
    const auto passOver = [this, patterns](const std::string& path) {
        return pickup_.passOver(path, patterns);
    };
    if (settings_.jobFiles == settings::JobFiles::Single) {
        const std::string jobPath = settings_.location + settings_.file;
        if (passOver(jobPath) || !isReady(jobPath)) {
            return false;
        }
        const Taken taken = takeJob(jobPath, true);
        if (taken != Taken::NotSent && taken != Taken::Nothing &&
            common::toUpper1253(jobPath).ends_with("PRG.1")) {
            jobs::deleteFileQuietly(jobPath);
        }
        return taken == Taken::Printed || taken == Taken::Refused;
    }
    if (settings_.jobFiles != settings::JobFiles::Numbered) {
        return false;
    }
    const auto jobPath =
        jobs::findNumberedJob(settings_.location, settings_.file, isReady, passOver);
    if (!jobPath) {
        return false;
    }
    const Taken taken = takeJob(*jobPath, false);
    if (taken == Taken::NotSent || taken == Taken::Nothing) {
        return false;
    }
    if (jobPath->ends_with("prg.1")) {
        jobs::deleteFileQuietly(*jobPath);
    }
    showState(common::texts::kStatusWaitingAfterJob, common::texts::kCaptionWaitingAfterJob);
    return true;
}

}  // namespace merovan::driver
