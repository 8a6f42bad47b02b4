#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Files whose path somebody else chose (a job, the result file a job names, param.ini, the data
// files, the journal) may be a FIFO, a device, a symlink to one, or gigabytes long. These
// helpers open them without blocking, refuse anything but a regular file and bound every read.
namespace merovan::common {

// What tells one version of a file from another, beyond its content: a copy made with its
// times kept (`cp -p`, a hard link, a Windows copy) still differs in its identity or change
// time.
struct FileStamp {
    std::uint64_t device = 0;       // POSIX st_dev; Windows volume serial number
    std::uint64_t inode = 0;        // POSIX st_ino; Windows file index
    std::int64_t changeTimeNs = 0;  // POSIX st_ctim; Windows change time (or last write)
    std::int64_t writeTimeNs = 0;   // POSIX st_mtim; Windows last write time
    std::uint64_t size = 0;

    bool operator==(const FileStamp&) const = default;
};

struct RegularFile {
    std::string bytes;       // at most the limit asked for
    FileStamp stamp;         // of the file that was read, taken on the open handle
    bool truncated = false;  // the file holds more than the limit
};

// Why a file could not be used, in plain words (UTF-8) naming the file and the cause.
struct FileError {
    std::string text;
    bool missing = false;  // the file does not exist
};

// Reads up to maxBytes of a regular file. Never blocks on a FIFO or a device.
std::optional<RegularFile> readRegularFile(const std::string& path, std::uint64_t maxBytes,
                                           FileError* error = nullptr);

// Reads a regular file from its start in pieces of at most 64 KiB, handing each to take until
// take returns false or the file ends, so that a huge file never sits in memory whole. stamp,
// when given, receives the stamp of the file that was read. Never blocks on a FIFO or a device.
bool readRegularFileInPieces(const std::string& path,
                             const std::function<bool(std::string_view piece)>& take,
                             FileStamp* stamp = nullptr, FileError* error = nullptr);

// The stamp of a regular file without reading it; none when it is missing or not regular.
std::optional<FileStamp> regularFileStamp(const std::string& path, FileError* error = nullptr);

// Appends bytes to a regular file, creating it when absent; refuses anything else. Written
// whole or reported as failed (a file-size limit is a failure, not a signal that kills us).
bool appendToRegularFile(const std::string& path, const std::string& bytes,
                         FileError* error = nullptr);

}  // namespace merovan::common
