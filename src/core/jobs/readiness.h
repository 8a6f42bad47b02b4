#pragma once

#include <string>

namespace merovan::jobs {

// True when the file exists, is not empty, may be opened for appending, and no process holds
// it open for writing (a POS that is still writing the job).
bool IsJobFileReady(const std::string& path);

// Whether the file could be opened for appending now. On POSIX this is a permission test that
// leaves the file untouched: a real open would report a write-close to the directory watch.
bool CanOpenForAppend(const std::string& path);

// Whether some process, this one included, has the file open for writing.
bool isOpenForWriting(const std::string& path);

// Deletes the file; every failure is ignored.
void DeleteFileQuietly(const std::string& path);

}  // namespace merovan::jobs
