#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/read_file.h"

namespace merovan::testing {

// The programs under test, as built beside the tests.
inline const std::string kCli = std::string(MEROVAN_BINARY_DIR) + "/src/apps/merovan-cli";
inline const std::string kRegister = std::string(MEROVAN_BINARY_DIR) + "/src/apps/merovan-register";

// Checks condition every 20 ms until it holds or timeout has passed; says whether it held.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

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
    void signal(int number) const { kill(pid_, number); }
    // The exit status, or none when the program is still running after the timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    // Ends it as systemd does; the exit status, or none when it still runs after the timeout.
    std::optional<int> stop(std::chrono::milliseconds timeout) {
        signal(SIGTERM);
        return wait(timeout);
    }
    std::string errorOutput() const { return readFile(err_); }
    pid_t pid() const { return pid_; }

  private:
    std::filesystem::path out_, err_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace merovan::testing
