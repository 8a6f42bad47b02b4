#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/jobs/readiness.h"

namespace merovan::jobs {
namespace {

// Reads the open flags of one descriptor from /proc/<pid>/fdinfo/<fd>; -1 when unknown.
long fdFlags(const std::string& process, const char* fd) {
    const std::string path = "/proc/" + process + "/fdinfo/" + fd;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return -1;
    }
    char line[128];
    long flags = -1;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::string_view(line).starts_with("flags:")) {
            flags = std::strtol(line + 6, nullptr, 8);
            break;
        }
    }
    std::fclose(file);
    return flags;
}

bool processWrites(const std::string& process, const struct stat& target) {
    const std::string fdDir = "/proc/" + process + "/fd";
    DIR* dir = opendir(fdDir.c_str());
    if (dir == nullptr) {
        return false;  // gone, or another user's process we may not look into
    }
    bool writes = false;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        struct stat opened {};
        if (fstatat(dirfd(dir), entry->d_name, &opened, 0) != 0 || opened.st_ino != target.st_ino ||
            opened.st_dev != target.st_dev) {
            continue;
        }
        const long flags = fdFlags(process, entry->d_name);
        if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) {
            writes = true;
            break;
        }
    }
    closedir(dir);
    return writes;
}

}  // namespace

// Another user's processes cannot be looked into: the directory watch has to tell.
bool platformSeesEveryWriter() {
    return false;
}

bool isOpenForWriting(const std::string& path) {
    struct stat target {};
    if (stat(path.c_str(), &target) != 0) {
        return false;
    }
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return false;  // no process table to look at: the other tests decide
    }
    bool writes = false;
    while (const dirent* entry = readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9') {
            continue;
        }
        if (processWrites(entry->d_name, target)) {
            writes = true;
            break;
        }
    }
    closedir(proc);
    return writes;
}

}  // namespace merovan::jobs
