#include "core/jobs/getdata.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/common/date_time.h"
#include "core/common/text.h"
#include "core/jobs/job.h"
#include "core/jobs/job_file.h"
#include "core/jobs/register_text.h"

namespace merovan::jobs {
namespace {

// No receipt comes near this size; a bigger file is not a job a POS wrote, and working
// through it line by line would keep the register busy for hours.
constexpr std::uintmax_t kMaxJobBytes = 1024 * 1024;

JobContext withGate(JobContext context, ClosingGate& gate) {
    context.closingGate = &gate;
    return context;
}

}  // namespace

bool MayClose(JobContext& context, const std::string& command) {
    return context.closingGate == nullptr || context.closingGate->mayClose(context.link, command);
}

Job::Job(const JobSettings& settings, JobContext& context)
    : settings_(settings),
      closingGate_(context.beforeClosingPayment),
      context_(withGate(context, closingGate_)),
      converter_(context.itemTextConverter ? *context.itemTextConverter : identity_),
      progress_(context.op) {}

int Job::run(std::string_view content) {
    const auto lines = SplitJobLines(content);
    start(content, lines.size());
    for (const std::string_view line : lines) {
        fields_.price.clear();
        fields_.discount.clear();
        fields_.addon.clear();
        fields_.percentDiscount.clear();
        fields_.percentSurcharge.clear();
        fields_.category.clear();
        progress_.setValue(progress_.Value() + 1);
        if (dispatch(line) == Next::Abort) {
            exitCode_ = 1;
            break;
        }
    }
    end();
    return exitCode_;
}

void Job::start(std::string_view content, std::size_t lineCount) {
    resFile_ = FindResultFile(content);
    context_.link.setResFile(resFile_);
    progress_.setMax(
        static_cast<int>(std::min<std::size_t>(lineCount, std::numeric_limits<int>::max())));
    appendResult("tag = " + FindJobTag(content));
    appendResult("DateTime start = " + now());
    context_.flags.ZeroTotalReceipt = true;
    send("KXCL", true);
    send("KXCL", true);
}

// The tags are tried in this order; the first that matches handles the line.
Job::Next Job::dispatch(std::string_view line) {
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

std::int16_t Job::send(const std::string& command, bool quiet) {
    reply_.clear();
    return context_.link.SendCommand(command, reply_, quiet);
}

void Job::appendResult(std::string_view text) {
    // The POS learns nothing of this job: say so once, where someone may look.
    if (!common::AppendLine(resFile_, text) && !resultFailureLogged_) {
        resultFailureLogged_ = true;
        context_.op.log("Το αρχείο αποτελεσμάτων δεν γράφεται: " + common::cp1253ToUtf8(resFile_));
    }
}

std::string Job::now() const {
    return common::formatDateTime(context_.clock.localDateTime());
}

std::string Job::registerText(std::string_view text, bool saleLine) {
    return PrepareRegisterText(text, saleLine, converter_, greek_);
}

void Job::callComms(const std::string& category, const std::string& sFileOut) {
    CommsLine line = fields_;
    line.category = category;
    line.sFileOut = sFileOut;
    comms(line, settings_, context_);
}

JobOutcome getdata(const std::string& jobPath, const JobSettings& settings, JobContext& context) {
    JobOutcome outcome;
    const auto refuse = [&](std::string why) {
        outcome.readable = false;
        outcome.error = std::move(why);
        return outcome;
    };
    std::error_code error;
    if (std::filesystem::file_size(jobPath, error) > kMaxJobBytes && !error) {
        return refuse("Αρχείο εργασίας μεγαλύτερο από 1 MB, δεν τυπώνεται");
    }
    const auto content = ReadWholeFile(jobPath);
    if (!content) {
        return refuse("Αδυναμία ανάγνωσης του αρχείου εργασίας " + common::cp1253ToUtf8(jobPath));
    }
    // NUL bytes are what a crash leaves in a file that was being written: not a job to print.
    if (content->find('\0') != std::string::npos) {
        return refuse("Αρχείο εργασίας με μηδενικά bytes (NUL), δεν τυπώνεται");
    }
    outcome.resFile = FindResultFile(*content);
    Job job(settings, context);
    outcome.exitCode = job.run(*content);
    return outcome;
}

}  // namespace merovan::jobs
