#include <windows.h>

#include "core/jobs/readiness.h"

namespace merovan::jobs {

// Windows refuses the append open while the writer holds the file without write sharing,
// which is how the POS's own runtime writes it.
bool CanOpenForAppend(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

bool isOpenForWriting(const std::string&) {
    return false;
}

}  // namespace merovan::jobs
