#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "core/driver/helper_program.h"

namespace merovan::driver {
namespace {

// Starts a program in dir without waiting.
common::Result<void> spawnDetached(const std::string& dir, std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    // The program must not inherit signals the driver keeps blocked for its own use.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t pid = 0;
    const int status = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (status != 0) {
        return common::Error{args[0] + ": " + std::strerror(status)};
    }
    // Nobody waits for the program; a detached reaper keeps it from lingering as a zombie.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return {};
}

std::string directoryOf(const std::string& workDir) {
    return workDir.empty() ? std::string(".") : workDir;
}

}  // namespace

common::Result<void> startConversionHelper(const std::string& workDir) {
    const std::string dir = directoryOf(workDir);
    const std::string script = dir + "/cop2fis.sh";
    if (access(script.c_str(), R_OK) != 0) {
        return common::Error{"cop2fis.sh: " + std::string(std::strerror(errno))};
    }
    if (auto started = spawnDetached(dir, {"/bin/sh", "./cop2fis.sh"}); !started) {
        return common::Error{"cop2fis.sh: " + started.error().what};
    }
    return {};
}

common::Result<void> openHelpText(const std::string& workDir) {
    return spawnDetached(directoryOf(workDir), {"xdg-open", "merovan.txt"});
}

std::string defaultEndMarker() {
    return "/merovan/end.txt";
}

}  // namespace merovan::driver
