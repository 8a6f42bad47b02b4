#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <stdexcept>

extern char** environ;

namespace merovan::testing {

ChildProcess::ChildProcess(std::vector<std::string> argv, const std::filesystem::path& workDir,
                           const std::string& name)
    : out_(workDir / (name + ".out")), err_(workDir / (name + ".err")) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int flags = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), flags, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), flags, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    std::vector<char*> args;
    for (auto& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    const int failed = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
}

ChildProcess::~ChildProcess() {
    if (!status_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::optional<std::string> ChildProcess::firstLine(std::chrono::milliseconds timeout) const {
    std::string out;
    if (!eventually([&] { return (out = readFile(out_)).find('\n') != std::string::npos; },
                    timeout)) {
        return std::nullopt;
    }
    return out.substr(0, out.find('\n'));
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    eventually(
        [&] {
            int status = 0;
            if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            return status_.has_value();
        },
        timeout);
    return status_;
}

}  // namespace merovan::testing
