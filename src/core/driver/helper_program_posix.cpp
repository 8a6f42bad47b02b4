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
    const std::string script = (workDir.empty() ? std::string(".") : workDir) + "/cop2fis.sh";
    if (access(script.c_str(), R_OK) != 0) {
        error = "cop2fis.sh: " + std::string(std::strerror(errno));
        return false;
    }
    char shell[] = "/bin/sh";
    std::string scriptArg = script;
    char* argv[] = {shell, scriptArg.data(), nullptr};
    // The helper must not inherit signals the driver keeps blocked for its own use.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int status = posix_spawn(&pid, shell, nullptr, &attributes, argv, environ);
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
