#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/common/clock.h"
#include "core/common/driver_observer.h"
#include "core/common/operator.h"
#include "core/common/result.h"
#include "core/driver/helper_program.h"
#include "core/driver/job_pickup.h"
#include "core/driver/observed_operator.h"
#include "core/driver/posted_jobs.h"
#include "core/jobs/job_files.h"
#include "core/jobs/job_journal.h"
#include "core/jobs/readiness.h"
#include "core/jobs/register_session.h"
#include "core/jobs/run_job.h"
#include "core/link/link.h"
#include "core/settings/param_file.h"
#include "core/supervision/link_supervision.h"
#include "core/supervision/reports.h"

namespace merovan::driver {

// Runs one job: content is the job file exactly as it was read (and recorded) for printing.
using JobRunner =
    std::function<jobs::JobOutcome(const std::string& jobPath, std::string_view content,
                                   const jobs::JobSettings& settings, jobs::JobContext& context)>;

// Reads param.ini: the settings, or why they could not be read.
using ParamReader = std::function<common::Result<settings::ParamSettings>(
    const std::string& path, settings::ParamReadMode mode)>;

// What the driver uses from the rest of the program. Empty members take the real thing.
struct DriverServices {
    link::TransportFactory transports;
    JobRunner runJob;
    ParamReader readParams;
    // Starts the conversion helper (cop2fis) without waiting; an error when it could not be
    // started.
    std::function<common::Result<void>(const std::string& workDir)> runHelper;
    // Called after every job, on the driver's thread.
    std::function<void(const std::string& jobPath, const jobs::JobOutcome& outcome)> afterJob;
    // The machine's own address, recorded by a network link; the system's by default.
    std::function<std::string()> localAddress;
    // Told what the driver does, on the driver's thread; none: nobody watches.
    common::DriverObserver* observer = nullptr;
};

struct DriverOptions {
    std::string workDir = ".";                   // param.ini, the journal, receipt.txt, cop2fis
    std::string endMarker = defaultEndMarker();  // deleted before every job
    std::string journalName = "merovan.jnl";
    std::string decimalSeparator = ",";
    // Whether printing starts once the register answers: none, as param.ini's auto-start says;
    // true, always (nobody is there to press Start); false, never (a one-off report).
    std::optional<bool> startWhenOnline;
    // How often an off-line register is asked again; none: only an error clear brings it back.
    std::optional<std::chrono::seconds> retryWhileOffline;
    // How long a job file that changed while the directory watch did not see it must stay
    // unchanged before it is taken (zero: at once).
    std::chrono::milliseconds quietPeriod = jobs::kDefaultQuietPeriod;
    // When not empty, result files must lie in these directories.
    std::vector<std::string> resultDirs;
    // Jobs handed in over the network, taken in the same queue and journal as the exchange
    // directory's; none when that interface is off.
    PostedJobs* postedJobs = nullptr;
};

// The timers of the main window as the driver sets them; a loop (or a test) fires them.
struct TimerSetting {
    bool enabled = false;
    std::chrono::milliseconds interval{1000};
    std::uint64_t generation = 0;  // changes whenever the timer is (re)armed
};

// A job named on the command line, with the settings the command line gave.
struct CommandLineJob {
    settings::ParamSettings settings;
    std::string jobPath;
    std::string commandLine;  // as given, for its last character
};

// Exit statuses of command-line mode.
enum CommandLineStatus {
    JobDone = 0,
    JobAborted = 1,
    JobUnreadable = 2,
    OptionsTooShort = 3,
    GaveUp = 4,
};

// The main window's logic without any widget. Every call runs on one thread, one at a time:
// DriverLoop posts operator actions and fires the timers there; tests call it directly.
class Driver {
  public:
    Driver(common::Operator& op, common::Clock& clock, DriverServices services,
           DriverOptions options);

    // Normal start-up: param.ini, the first texts, supervision on. False when the program
    // must end (param.ini missing, or the start-up failure path ran).
    bool load();

    // Command-line mode: waits for the register, runs the one job, deletes it. giveUpAfter
    // bounds the wait; stopRequested is asked between attempts.
    int runCommandLine(const CommandLineJob& job, std::optional<std::chrono::seconds> giveUpAfter,
                       const std::function<bool()>& stopRequested = {});

    // Timers. pollTick is true when it took a job: another one may be ready at once.
    bool pollTick();         // Timer1
    void supervisionTick();  // Timer2
    // The directory watch saw this happen to a file in the job directory: a job closed by its
    // writer is picked up at once, one still being written is not taken. True when a job was
    // taken, as for pollTick.
    bool directoryChanged(const std::string& name, jobs::FileEvent event);

    // Operator actions.
    void startPrinting();  // Start button
    void stopPrinting();   // Stop button
    void trayStart();
    void trayStop();
    void trayZReport();
    void report(supervision::Report report);
    void clearError();
    // A report asked for from outside (the network interface): also while printing, between
    // two jobs, as the queue runs one thing at a time. The exchange's status, or none when the
    // register is not ready for it (being searched for, off-line).
    std::optional<link::LinkStatus> remoteReport(supervision::Report report);
    // The settings dialog pauses link supervision while it is open.
    void settingsDialogShown(bool shown);
    void shutdown();
    // A failure that ended a tick or an action; the driver goes on.
    void logFailure(const std::string& what) { op_.log(what); }

    const TimerSetting& pollTimer() const { return timer1_; }
    const TimerSetting& supervisionTimer() const { return timer2_; }
    // The directory to watch for jobs, when the settings name one.
    std::optional<std::string> watchDirectory() const;

    bool polling() const { return timer1_.enabled; }
    common::DriverState state() const { return state_; }
    std::int64_t receiptCounter() const { return receiptCounter_; }
    int supervisionFailures() const { return supervision_.failures(); }
    link::Link& link() { return link_; }
    jobs::RegisterSession& session() { return session_; }
    const settings::ParamSettings& settingsInForce() const { return settings_; }

  private:
    void setTimer(TimerSetting& timer, bool enabled,
                  std::optional<std::chrono::milliseconds> interval = {});
    void showState(std::string_view status, std::string_view caption);
    void setState(common::DriverState state);
    common::DriverControls controls() const { return common::controlsOf(state_); }
    void showSettings();
    void startupFailure(const std::string& what);
    void goOnline();
    void loadJournal();
    // Command-line mode: asks until the register answers; false when the limit passed or a
    // stop was asked for first.
    bool awaitRegister(std::optional<common::Clock::TimePoint> giveUpAt,
                       const std::function<bool()>& stopRequested);
    // Brings the register back after jobs were cut short and prints again those it proved
    // were not issued; false while that is not done, and no other job may go.
    bool recoverInterruptedJobsAtStart();
    bool refreshPollSettings();
    // What became of the job a tick found.
    enum class Taken { Printed, Refused, NotSent, Nothing };
    // again: the job's version is on record (it was cut short) and is to be printed anew.
    Taken takeJob(const std::string& jobPath, bool singleFile, bool again = false);
    // The oldest posted job, when there is one; Nothing when there is none.
    Taken takePostedJob();
    void refuseJob(const std::string& jobPath, const jobs::JobRead& read);
    jobs::JobOutcome runJob(const std::string& jobPath, const std::string& canonicalPath,
                            std::string_view content);
    // Complete, and a file the driver may read as a job; a refusal is logged once per file.
    bool isJobReady(const std::string& jobPath);
    jobs::JobSettings jobSettings() const;
    void runHelperIfAsked();
    common::DriverObserver& observer() {
        return services_.observer != nullptr ? *services_.observer : unobserved_;
    }
    bool pollOnce();
    // How many job files wait in the exchange directory, not yet printed nor refused.
    std::size_t waitingJobs();

    common::DriverObserver unobserved_;  // told when nobody watches
    ObservedOperator observedOp_;
    common::Operator& op_;
    common::Clock& clock_;
    DriverServices services_;
    DriverOptions options_;
    link::Link link_;
    jobs::RegisterSession session_;
    jobs::ProgramFlags flags_;
    jobs::JobJournal journal_;
    JobPickup pickup_;
    std::string markError_;  // the last failed started mark, logged once
    jobs::JobReadiness readiness_;
    std::set<std::string> refusedJobPaths_;
    std::vector<jobs::InterruptedJob> interrupted_;  // found at start, not yet recovered
    std::vector<std::string> reprints_;              // recovered, to be printed again
    supervision::LinkSupervision supervision_;

    settings::ParamSettings settings_;
    std::optional<CommandLineJob> commandLine_;
    common::DriverState state_ = common::DriverState::Searching;
    std::string linkErrorText_;
    std::string paramError_;  // the last param.ini failure, logged once
    bool autoStart_ = false;
    std::int64_t receiptCounter_ = 0;
    TimerSetting timer1_;
    TimerSetting timer2_;
};

}  // namespace merovan::driver
