#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/common/regular_file.h"
#include "core/jobs/result_file.h"
#include "core/link/link_status.h"

// A job file read for printing: once, bounded, and only when it is a regular file. The bytes
// read are the bytes fingerprinted and the bytes printed, whatever the file holds by then.
namespace merovan::jobs {

// No receipt comes near this size; a bigger file is not a job a POS wrote, and working
// through it line by line would keep the register busy for hours.
inline constexpr std::uint64_t kMaxJobBytes = std::uint64_t{1024} * 1024;

enum class JobRefusal { None, Unreadable, NotRegular, TooLarge, NulBytes };

struct JobRead {
    std::string bytes;                       // at most kMaxJobBytes
    std::optional<common::FileStamp> stamp;  // of the file read, when it could be opened
    JobRefusal refusal = JobRefusal::None;
    bool missing = false;  // the file is gone
    std::string error;     // why it is refused, in plain words (UTF-8)
};

JobRead readJobFile(const std::string& path);

// The status of a refused job's "Err = " line in its result file.
link::LinkStatus refusalStatus(JobRefusal refusal);

// Tells the POS that the job will not be printed: when its header names a result file, that
// file gets "Err = <status>, [<job path>] DateTime = <date>" and "exitcode = 2". False when
// the header names none, the rules refuse it, or the lines could not be written.
bool writeRefusal(const std::string& jobPath, const JobRead& read, const std::string& date,
                  const ResultFileRules& rules);

}  // namespace merovan::jobs
