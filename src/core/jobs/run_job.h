#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/common/clock.h"
#include "core/common/operator.h"
#include "core/jobs/daily_report.h"
#include "core/jobs/item_text_converter.h"
#include "core/jobs/program_flags.h"
#include "core/jobs/register_session.h"
#include "core/jobs/result_file.h"
#include "core/settings/param_settings.h"

namespace merovan::jobs {

class ClosingGate;

// The settings a job is run with (param.ini values, or the command line's).
struct JobSettings {
    settings::ReceiptSettings receipt;
    // The user's decimal separator, read once at start-up.
    std::string decimalSeparator = ",";
    // Where vats.dat and payeft.dat live.
    std::string workDir = ".";
    // Which result files a job may name.
    ResultFileRules resultRules;
};

// Everything outside the job that a job works with.
struct JobContext {
    RegisterSession& session;
    common::Operator& op;
    common::Clock& clock;
    ProgramFlags& flags;
    // Runs the daily Z report of an "MKZ" line.
    DailyReport& dailyReport;
    // The outside conversion of item texts; none means the identity stand-in.
    const ItemTextConverter* itemTextConverter = nullptr;
    // Called right before the first command that may close the receipt (a payment, the
    // table-close that prints it); false when the mark could not be made durable, and the
    // job must not send that command.
    std::function<bool()> beforeClosingPayment = {};
    // Set by the job for its own run: what asks beforeClosingPayment, once.
    ClosingGate* closingGate = nullptr;
};

// Whether a command that may close the receipt may go out (always, outside a job).
bool mayCloseReceipt(JobContext& context, const std::string& command);

struct JobOutcome {
    bool readable = true;  // false: the job file could not be opened; nothing was sent
    int exitCode = 0;      // 0 read to its end, 1 aborted by a table line
    std::string error;     // why the file could not be read, in plain words (UTF-8)
    std::string resFile;   // the result file the job named
};

// Runs one job to its end: the register commands, the result file lines, the flags. content
// is the job file as it was read for printing.
JobOutcome interpretJob(std::string_view content, const JobSettings& settings, JobContext& context);
// Reads the job file (as the driver does) and runs it; a refused file sends nothing.
JobOutcome interpretJobFile(const std::string& jobPath, const JobSettings& settings,
                            JobContext& context);

}  // namespace merovan::jobs
