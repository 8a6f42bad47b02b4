#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/common/clock.h"
#include "core/common/status_display.h"
#include "core/jobs/job_journal.h"
#include "core/jobs/register_session.h"
#include "core/jobs/result_file.h"

// After a start that found jobs cut short, before any other job: the register is brought
// back to a clean state, and each such job's POS learns what became of it.
namespace merovan::driver {

// What became of a job the driver was cut short in; also its result block's exit code.
enum class Recovered {
    Complete = 0,     // its closing payment went out and the receipt is closed: issued
    TableClosed = 3,  // the table it left open was closed with what had reached it
    Unreadable = 4,   // not issued, and its job file can no longer be read: not printed
    // The register proved its receipt was not issued: printed again in full. Apart from 2,
    // which a job refused unread ends with.
    PrintAgain = 5,
};

struct RecoveredJob {
    jobs::InterruptedJob job;
    Recovered what = Recovered::Complete;
};

// Voids a receipt left open ("KXVOID", quiet, its refusal logged nowhere), closes a table
// left open as a "TBC" would ("KXTO"), decides each job, writes a block ending in
// "exitcode = " to its result file and tells the operator. The newest job comes first: only
// it can have left something open. No value when the register did not answer: nothing was
// decided, nothing written, and it is to be tried again. A result file goes through the same
// rules as every job's.
std::optional<std::vector<RecoveredJob>> recoverInterruptedJobs(
    jobs::RegisterSession& session, common::StatusDisplay& display, common::Clock& clock,
    const std::vector<jobs::InterruptedJob>& jobs, const jobs::ResultFileRules& rules);

}  // namespace merovan::driver
