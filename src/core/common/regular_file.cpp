#include <algorithm>

#include "core/common/regular_file.h"

namespace merovan::common {

std::optional<RegularFile> readRegularFile(const std::string& path, std::uint64_t maxBytes,
                                           FileError* error) {
    RegularFile file;
    // One byte past the limit tells a file of exactly the limit from a longer one.
    const std::uint64_t limit = maxBytes + 1;
    const auto take = [&](std::string_view piece) {
        const auto room = static_cast<std::size_t>(limit - file.bytes.size());
        file.bytes.append(piece.substr(0, std::min(room, piece.size())));
        return file.bytes.size() < limit;
    };
    if (!readRegularFileInPieces(path, take, &file.stamp, error)) {
        return std::nullopt;
    }
    if (file.bytes.size() > maxBytes) {
        file.bytes.resize(static_cast<std::size_t>(maxBytes));
        file.truncated = true;
    }
    return file;
}

}  // namespace merovan::common
