#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace merovan::testing {

// A program started by a test, with its standard output and error in pipes; killed with
// SIGKILL when the test forgets it.
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& workDir);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output, without its LF; none on time-out or end of output.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    void signal(int number) const;
    // The exit status, or none when the program is still running after the timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    // Everything the program wrote to standard error so far.
    std::string errorOutput();
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffer_;
    std::string errBuffer_;
    std::optional<int> status_;
};

}  // namespace merovan::testing
