#include "core/jobs/job_reading.h"

#include <filesystem>

#include "core/common/append_line.h"
#include "core/common/codepage.h"
#include "core/jobs/job_file.h"

namespace merovan::jobs {
namespace {

JobRead refused(JobRead read, JobRefusal refusal, std::string error) {
    read.refusal = refusal;
    read.error = std::move(error);
    return read;
}

}  // namespace

JobRead readJobFile(const std::string& path) {
    JobRead read;
    common::FileError error;
    auto file = common::readRegularFile(path, kMaxJobBytes, &error);
    const std::string shown = common::cp1253ToUtf8(path);
    if (!file) {
        read.missing = error.missing;
        std::error_code ignored;
        const auto status = std::filesystem::status(path, ignored);
        if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
            return refused(
                std::move(read), JobRefusal::NotRegular,
                "Το αρχείο εργασίας " + shown + " δεν είναι κανονικό αρχείο, δεν τυπώνεται");
        }
        return refused(
            std::move(read), JobRefusal::Unreadable,
            "Αδυναμία ανάγνωσης του αρχείου εργασίας " + common::cp1253ToUtf8(error.text));
    }
    read.stamp = file->stamp;
    read.bytes = std::move(file->bytes);
    if (file->truncated) {
        return refused(std::move(read), JobRefusal::TooLarge,
                       "Αρχείο εργασίας μεγαλύτερο από 1 MB, δεν τυπώνεται: " + shown);
    }
    // NUL bytes are what a crash leaves in a file that was being written: not a job to print.
    if (read.bytes.find('\0') != std::string::npos) {
        return refused(std::move(read), JobRefusal::NulBytes,
                       "Αρχείο εργασίας με μηδενικά bytes (NUL), δεν τυπώνεται: " + shown);
    }
    return read;
}

link::LinkStatus refusalStatus(JobRefusal refusal) {
    switch (refusal) {
        case JobRefusal::None:
            return link::LinkStatus::Success;
        case JobRefusal::Unreadable:
            return link::LinkStatus::JobUnreadable;
        case JobRefusal::NotRegular:
            return link::LinkStatus::JobNotRegularFile;
        case JobRefusal::TooLarge:
            return link::LinkStatus::JobTooLarge;
        case JobRefusal::NulBytes:
            return link::LinkStatus::JobHasNulBytes;
    }
    return link::LinkStatus::JobUnreadable;
}

bool writeRefusal(const std::string& jobPath, const JobRead& read, const std::string& date,
                  const ResultFileRules& rules) {
    const auto resultFile = namedResultFile(read.bytes);
    if (!resultFile || checkResultFile(*resultFile, rules)) {
        return false;
    }
    return common::appendLine(
               *resultFile,
               "Err = " + std::to_string(link::statusNumber(refusalStatus(read.refusal))) + ", [" +
                   jobPath + "] DateTime = " + date) &&
           common::appendLine(*resultFile, "exitcode = 2");
}

}  // namespace merovan::jobs
