// Arbitrary job headers through the header parser and the result-file check. A header value
// never carries a control character, and a result file that the check lets through lies in
// the allowed directory, is none of the driver's own files and is no special file, whatever
// links, FIFOs and ".." the path runs through.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/jobs/file_places.h"
#include "core/jobs/job_file.h"
#include "core/jobs/result_file.h"

namespace {

namespace fs = std::filesystem;
using namespace merovan;

// The driver's working directory with its own files and an exchange directory holding every
// kind of trap; made once.
struct Place {
    fs::path work = fs::temp_directory_path() / ("fuzz_job_header." + std::to_string(getpid()));
    fs::path exchange = work / "exchange";
    jobs::ResultFileRules rules;

    Place() {
        fs::create_directories(exchange / "sub");
        std::ofstream(work / "param.ini") << "[port] com1\r\n";
        std::ofstream(work / "vats.dat") << std::string(40, '\0');
        std::ofstream(exchange / "old.txt") << "tag = 1\r\n";
        ::mkfifo((exchange / "fifo").c_str(), 0666);
        std::error_code ignored;
        fs::create_symlink(work / "param.ini", exchange / "settings", ignored);
        fs::create_symlink("/dev/null", exchange / "null", ignored);
        fs::create_symlink("..", exchange / "up", ignored);
        fs::create_symlink("loop", exchange / "loop", ignored);
        fs::create_symlink(work / "elsewhere" / "r.txt", exchange / "dangling", ignored);
        fs::create_hard_link(work / "vats.dat", exchange / "hard", ignored);
        rules.ownFiles = jobs::ownFilesOf(work.string(), "merovan.jnl");
        rules.allowedDirs = {exchange.string()};
    }
};

bool hasControl(std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Place place;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Half the runs put the path under the exchange directory, so that its traps are reached.
    const bool inside = size > 0 && (data[0] & 1) != 0;
    const std::string job =
        inside ? "resFile:  " + place.exchange.string() + "/" + std::string(input.substr(1))
               : std::string(input);

    const std::string tag = jobs::findJobTag(job);
    const std::string result = jobs::findResultFile(job);
    if (tag.empty() || result.empty() || hasControl(tag) || hasControl(result)) {
        std::abort();
    }
    if (jobs::checkResultFile(result, place.rules)) {
        return 0;  // refused
    }
    // Asked of the system itself, not of the check's own path resolution: what the path is,
    // and where the file or, when it does not exist, its directory really lies.
    std::error_code error;
    fs::path path(result);
    // A link to a file yet to be created: the write would create that file.
    for (int links = 0; links < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++links) {
        const fs::path target = fs::read_symlink(path, error);
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const auto type = fs::status(path, error).type();
    if (type != fs::file_type::not_found && type != fs::file_type::regular) {
        std::abort();
    }
    const fs::path existing = type == fs::file_type::regular ? path : path.parent_path();
    const auto real = fs::canonical(existing.empty() ? "." : existing, error);
    if (!error) {
        const std::string inside = place.exchange.string() + "/";
        const std::string where = real.string() + (type == fs::file_type::regular ? "" : "/");
        if (!where.starts_with(inside)) {
            std::abort();
        }
    }
    for (const auto& own : place.rules.ownFiles) {
        if (fs::equivalent(own, path, error)) {
            std::abort();
        }
    }
    return 0;
}
