#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "core/driver/helper_program.h"

extern char** environ;

namespace merovan::driver {

bool startConversionHelper(const std::string& workDir, std::string& error) {
    const std::string dir = workDir.empty() ? std::string(".") : workDir;
    const std::string script = dir + "/cop2fis.sh";
    if (access(script.c_str(), R_OK) != 0) {
        error = "cop2fis.sh: " + std::string(std::strerror(errno));
        return false;
    }
    char shell[] = "/bin/sh";
    std::string scriptArg = "./cop2fis.sh";
    char* argv[] = {shell, scriptArg.data(), nullptr};
    // The helper must not inherit signals the driver keeps blocked for its own use.
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
    const int status = posix_spawn(&pid, shell, &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (status != 0) {
        error = "cop2fis.sh: " + std::string(std::strerror(status));
        return false;
    }
    // Nobody waits for the helper; a detached reaper keeps it from lingering as a zombie.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

}  // namespace merovan::driver
