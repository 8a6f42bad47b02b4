#include "core/jobs/run_job.h"

#include <algorithm>
#include <limits>

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/message_box.h"
#include "core/common/text.h"
#include "core/jobs/job_file.h"
#include "core/jobs/job_interpreter.h"
#include "core/jobs/job_reading.h"
#include "core/jobs/register_text.h"
#include "core/jobs/result_file.h"

namespace merovan::jobs {
namespace {

JobContext withGate(JobContext context, ClosingGate& gate) {
    context.closingGate = &gate;
    return context;
}

}  // namespace

bool mayCloseReceipt(JobContext& context, const std::string& command) {
    return context.closingGate == nullptr ||
           context.closingGate->mayClose(context.session, command);
}

JobInterpreter::JobInterpreter(const JobSettings& settings, JobContext& context)
    : settings_(settings),
      closingGate_(context.beforeClosingPayment),
      context_(withGate(context, closingGate_)),
      converter_(context.itemTextConverter ? *context.itemTextConverter : identity_),
      progress_(context.op) {}

int JobInterpreter::run(std::string_view content) {
    const auto lines = splitJobLines(content);
    start(content, lines.size());
    for (const std::string_view line : lines) {
        ++lineNumber_;
        lineTag_ = common::trim(common::mid(line, 2, 3));
        fields_.price.clear();
        fields_.discount.clear();
        fields_.addon.clear();
        fields_.percentDiscount.clear();
        fields_.percentSurcharge.clear();
        fields_.category.clear();
        progress_.setValue(progress_.value() + 1);
        if (dispatch(line) == Next::Abort) {
            exitCode_ = 1;
            break;
        }
    }
    end();
    // What fails after this (an X report, an error clear, supervision) belongs to no job.
    context_.session.setResultFile({});
    return exitCode_;
}

void JobInterpreter::start(std::string_view content, std::size_t lineCount) {
    resFile_ = acceptedResultFile(content);
    context_.session.setResultFile(resFile_);
    progress_.setMax(
        static_cast<int>(std::min<std::size_t>(lineCount, std::numeric_limits<int>::max())));
    appendResult("tag = " + findJobTag(content));
    appendResult("DateTime start = " + now());
    context_.flags.zeroTotalReceipt = true;
    send("KXCL", true);
    send("KXCL", true);
}

// The tags are tried in this order; the first that matches handles the line.
JobInterpreter::Next JobInterpreter::dispatch(std::string_view line) {
    const std::string tag = common::mid(line, 2, 3);
    const std::string upper = common::asciiUpper(tag);
    const auto either = [&tag](std::string_view spelling) {
        return tag == spelling || tag == common::asciiLower(spelling);
    };
    if (upper == "MKZ") {
        lineMKZ();
    } else if (upper == "PLU") {
        linePLU(line);
    } else if (tag == "dis") {
        lineDis(line);
    } else if (tag == "sut") {
        lineSut(line);
    } else if (tag == "mod") {
        lineMod(line);
    } else if (tag.starts_with("to")) {
        lineTo(line);
    } else if (commentsOn() && tag == "com") {
        lineCom(line);
    } else if (commentsOn() && tag == "frt") {
        lineFrt();
    } else if (commentsOn() && tag == "can") {
        lineCan(line);
    } else if (commentsOn() && tag == "voi") {
        lineVoi();
    } else if (commentsOn() && tag == "ltb") {
        lineLtb();
    } else if (commentsOn() && tag == "foo") {
        lineFoo(line);
    } else if (either("TBO")) {
        return lineTBO(line);
    } else if (either("TBC")) {
        return lineTBC(line);
    } else if (either("TBT")) {
        return lineTransfer(line, false);
    } else if (either("TPT")) {
        return lineTransfer(line, true);
    } else if (either("TBS")) {
        return lineTBS(line);
    } else if (either("PRG")) {
        linePRG(line);
    } else if (tag == "snd") {
        lineSnd(line);
    } else if (common::asciiLower(tag) == "pay") {
        linePay(line);
    }
    return Next::Continue;
}

link::LinkStatus JobInterpreter::send(const std::string& command, bool quiet) {
    link::ExchangeOutcome outcome = context_.session.send(command, quiet);
    reply_ = std::move(outcome.reply);
    return outcome.status;
}

std::string JobInterpreter::acceptedResultFile(std::string_view content) {
    const std::string named = findResultFile(content);
    const auto refused = checkResultFile(named, settings_.resultRules);
    if (!refused) {
        return named;
    }
    // The job still runs: the receipt is what the customer waits for.
    context_.op.log(std::string(kResultNotWritten) + *refused);
    resultFailureLogged_ = true;
    return {};
}

void JobInterpreter::appendResult(std::string_view text) {
    // The POS learns nothing of this job: say so once, where someone may look.
    if (!common::appendLine(resFile_, text) && !resultFailureLogged_) {
        resultFailureLogged_ = true;
        context_.op.log(std::string(kResultNotWritten) + common::cp1253ToUtf8(resFile_));
    }
}

void JobInterpreter::noteDropped(link::LinkStatus why) {
    appendResult("Err = " + std::to_string(link::statusNumber(why)) + ", [line " +
                 std::to_string(lineNumber_) + " " + lineTag_ + "] DateTime = " + now());
}

void JobInterpreter::dropEmptyCommand() {
    common::showMessageBox(context_.op, "Κενή εντολή " + lineTag_ + ", δεν στάλθηκε",
                           common::buttons::kExclamation);
    noteDropped(link::LinkStatus::EmptyCommand);
}

std::string JobInterpreter::now() const {
    return common::formatDateTime(context_.clock.localDateTime());
}

std::string JobInterpreter::registerText(std::string_view text, bool saleLine) {
    return prepareRegisterText(text, saleLine, converter_, greek_);
}

void JobInterpreter::sendLine(const std::string& category) {
    LineFields line = fields_;
    line.category = category;
    sendLineCommands(line, settings_, context_);
    if (line.dropped) {
        noteDropped(*line.dropped);
    }
}

JobOutcome interpretJob(std::string_view content, const JobSettings& settings,
                        JobContext& context) {
    JobOutcome outcome;
    outcome.resFile = findResultFile(content);
    JobInterpreter job(settings, context);
    outcome.exitCode = job.run(content);
    return outcome;
}

JobOutcome interpretJobFile(const std::string& jobPath, const JobSettings& settings,
                            JobContext& context) {
    const JobRead read = readJobFile(jobPath);
    if (read.refusal != JobRefusal::None) {
        JobOutcome outcome;
        outcome.readable = false;
        outcome.error = read.error;
        return outcome;
    }
    return interpretJob(read.bytes, settings, context);
}

}  // namespace merovan::jobs
