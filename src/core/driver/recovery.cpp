#include "core/driver/recovery.h"

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/regular_file.h"
#include "core/link/queries.h"

namespace merovan::driver {
namespace {

// What the register held when the driver came back.
struct RegisterFindings {
    bool voided = false;  // a receipt was open, and is void now
    std::optional<std::int16_t> table;
    std::string tableTotal;  // what stays open on that table
    std::int16_t tableReceipt = -1;
};

// No value when the register cannot be asked.
// A failure of the link itself, not a refusal by the register.
bool linkFailed(link::LinkStatus status) {
    return link::statusNumber(status) < 0;
}

std::optional<RegisterFindings> cleanUpRegister(jobs::RegisterSession& session) {
    RegisterFindings found;
    // A refusal means no receipt is open: expected, so shown to nobody.
    const link::LinkStatus voidStatus = session.send("KXVOID", true).status;
    if (linkFailed(voidStatus)) {
        return std::nullopt;
    }
    found.voided = voidStatus == link::LinkStatus::Success;
    const std::int16_t table = link::queryOpenTable(session);
    if (linkFailed(session.lastStatus())) {
        return std::nullopt;
    }
    if (table != -1) {
        found.table = table;
        if (const auto closed = session.send("KXTO"); closed.succeeded()) {
            found.tableReceipt = link::parseClosedReceipt(closed.reply);
        }
        found.tableTotal = link::queryTableTotal(session, table);
    }
    return found;
}

// "0.00" and the like; a failed query's "-1" is not.
bool isZeroAmount(const std::string& amount) {
    return amount.find('0') != std::string::npos &&
           amount.find_first_not_of("0., ") == std::string::npos;
}

Recovered decide(const jobs::InterruptedJob& job, const RegisterFindings& found) {
    // A table that holds nothing of the job was only just opened: the job runs again in full.
    if (found.table && (job.closingSent || !isZeroAmount(found.tableTotal))) {
        // Its items stay on the table: printing it again would put them there twice.
        return Recovered::TableClosed;
    }
    if (found.voided || !job.closingSent || found.table) {
        return common::regularFileStamp(job.jobPath) ? Recovered::PrintAgain
                                                     : Recovered::Unreadable;
    }
    return Recovered::Complete;
}

struct Report {
    std::string result;        // the recAction line's value
    std::string operatorText;  // UTF-8
};

Report describe(Recovered what, const RegisterFindings& found, bool closingSent) {
    switch (what) {
        case Recovered::Complete:
            return {"complete, not printed again", "η απόδειξη είχε εκδοθεί, δεν ξανατυπώνεται"};
        case Recovered::TableClosed:
            return {"table closed, not printed again",
                    "το τραπέζι " + std::to_string(*found.table) +
                        " έκλεισε με ό,τι είχε σταλεί, δεν ξανατυπώνεται"};
        case Recovered::Unreadable:
            return {"not issued, job file unreadable, not printed",
                    "η απόδειξη δεν εκδόθηκε και το αρχείο εργασίας δεν διαβάζεται, δεν τυπώνεται"};
        case Recovered::PrintAgain:
            break;
    }
    if (!found.voided) {
        return {"not issued, printed again", "η απόδειξη δεν είχε εκδοθεί, τυπώνεται ξανά"};
    }
    if (closingSent) {
        return {
            "voided, printed again",
            "η απόδειξη ακυρώθηκε και τυπώνεται ξανά· η πληρωμή της μπορεί να είχε σταλεί, ελέγξτε "
            "το τερματικό καρτών"};
    }
    return {"voided, printed again", "η απόδειξη ακυρώθηκε και τυπώνεται ξανά"};
}

void writeBlock(const RecoveredJob& done, const RegisterFindings& found, const Report& report,
                const std::string& now, const jobs::ResultFileRules& rules,
                common::StatusDisplay& display) {
    if (const auto refused = jobs::checkResultFile(done.job.resultFile, rules)) {
        display.log(std::string(jobs::kResultNotWritten) + *refused);
        return;
    }
    std::vector<std::string> lines = {"recovery = " + now, "recAction = " + report.result};
    if (done.what == Recovered::TableClosed) {
        lines.push_back("recTable = " + std::to_string(*found.table) + ";" + found.tableTotal +
                        ";" + std::to_string(found.tableReceipt));
    }
    if (done.what == Recovered::PrintAgain && found.voided && done.job.closingSent) {
        lines.push_back("recPayment = 1");
    }
    lines.push_back("exitcode = " + std::to_string(static_cast<int>(done.what)));
    for (const auto& line : lines) {
        if (!common::appendLine(done.job.resultFile, line)) {
            display.log(std::string(jobs::kResultNotWritten) +
                        common::cp1253ToUtf8(done.job.resultFile));
            return;
        }
    }
}

}  // namespace

std::optional<std::vector<RecoveredJob>> recoverInterruptedJobs(
    jobs::RegisterSession& session, common::StatusDisplay& display, common::Clock& clock,
    const std::vector<jobs::InterruptedJob>& jobs, const jobs::ResultFileRules& rules) {
    if (jobs.empty()) {
        return std::vector<RecoveredJob>{};
    }
    // No job is in hand: a failure here belongs in no result file.
    session.setResultFile({});
    const auto found = cleanUpRegister(session);
    if (!found) {
        display.log(
            "Ο Φορολογικός Εκτυπωτής δεν απάντησε· οι εργασίες που διακόπηκαν θα "
            "ελεγχθούν ξανά");
        return std::nullopt;
    }
    const std::string now = common::formatDateTime(clock.localDateTime());
    std::vector<RecoveredJob> recovered;
    const RegisterFindings nothingOpen;
    for (auto job = jobs.rbegin(); job != jobs.rend(); ++job) {
        // What the register held was left by the newest job alone.
        const RegisterFindings& held = job == jobs.rbegin() ? *found : nothingOpen;
        RecoveredJob done{*job, decide(*job, held)};
        const Report report = describe(done.what, held, job->closingSent);
        writeBlock(done, held, report, now, rules, display);
        const std::string text = "Εργασία που διακόπηκε: " + report.operatorText + ": " +
                                 common::cp1253ToUtf8(job->jobPath);
        display.setStatus(text);
        display.log(text);
        recovered.push_back(std::move(done));
    }
    return recovered;
}

}  // namespace merovan::driver
