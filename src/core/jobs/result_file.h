#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merovan::jobs {

// What the log says, before the reason, of a result file that was not written.
inline constexpr std::string_view kResultNotWritten = "Το αρχείο αποτελεσμάτων δεν γράφεται: ";

// Where a job may have its result file written. A job is written by whoever may drop files in
// the exchange directory; its result file must not become a way to overwrite the driver's own
// files or to write where that user could not.
struct ResultFileRules {
    // The driver's own files (param.ini, vats.dat, payeft.dat, the journal, merovan.conf):
    // never a result file, whatever name or link leads to them.
    std::vector<std::string> ownFiles;
    // When not empty, a result file must lie in one of these directories (or below them).
    std::vector<std::string> allowedDirs;
};

// The driver's own files in its working directory, with the journal's name.
std::vector<std::string> ownFilesOf(const std::string& workDir, const std::string& journalName);

// Why the result file a job names may not be written (UTF-8, naming the file), or none when it
// may. A relative path is taken against the process's working directory, as every later write
// takes it; symbolic links are followed to see where the lines would really go. The file may
// be missing (it is then created) but not anything other than a regular file.
std::optional<std::string> checkResultFile(const std::string& path, const ResultFileRules& rules);

}  // namespace merovan::jobs
