#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace merovan::testing {
namespace {

void drain(int fd, std::string& buffer) {
    char chunk[4096];
    ssize_t n = 0;
    while (fd >= 0 && (n = read(fd, chunk, sizeof chunk)) > 0) {
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& workDir) {
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    std::vector<char*> args;
    std::vector<std::string> copies = argv;
    for (auto& arg : copies) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    const int failed = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
    fcntl(out_, F_SETFL, O_NONBLOCK);
    fcntl(err_, F_SETFL, O_NONBLOCK);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
}

ChildProcess::~ChildProcess() {
    if (!status_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    close(out_);
    close(err_);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto newline = outBuffer_.find('\n');
        if (newline != std::string::npos) {
            std::string line = outBuffer_.substr(0, newline);
            outBuffer_.erase(0, newline + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd fd{out_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) > 0) {
            const auto before = outBuffer_.size();
            drain(out_, outBuffer_);
            if (outBuffer_.size() == before && (fd.revents & POLLHUP) != 0) {
                return std::nullopt;
            }
        }
    }
}

void ChildProcess::signal(int number) const {
    kill(pid_, number);
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        drain(err_, errBuffer_);
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

std::string ChildProcess::errorOutput() {
    drain(err_, errBuffer_);
    return errBuffer_;
}

}  // namespace merovan::testing
