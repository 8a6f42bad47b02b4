#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/read_file.h"

namespace merovan::testing {

// A program started by a test in workDir, its standard output and error going to the files
// <name>.out and <name>.err there; killed with SIGKILL when the test forgets it.
class ChildProcess {
  public:
    ChildProcess(std::vector<std::string> argv, const std::filesystem::path& workDir,
                 const std::string& name);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The first line of standard output, without its LF; none when none came in time.
    std::optional<std::string> firstLine(std::chrono::milliseconds timeout) const;
    void signal(int number) const;
    // The exit status, or none when the program is still running after the timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    std::string errorOutput() const;
    pid_t pid() const { return pid_; }

  private:
    std::filesystem::path out_, err_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace merovan::testing
