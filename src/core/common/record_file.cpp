#include "core/common/record_file.h"

#include <algorithm>
#include <bit>

#include "core/common/codepage.h"
#include "core/common/regular_file.h"

namespace merovan::common {

namespace {

// The failure names the file by its code page 1253 path.
Error errorOf(const FileError& failure) {
    return Error{cp1253ToUtf8(failure.text)};
}

}  // namespace

Result<void> readRecord(const std::string& path, std::uint64_t offset,
                        std::span<unsigned char> bytes) {
    std::ranges::fill(bytes, 0);
    FileError failure;
    const auto file = readRegularFile(path, offset + bytes.size(), &failure);
    if (!file) {
        if (failure.missing) {
            appendToRegularFile(path, {});  // best effort: the file exists from now on
            return {};
        }
        return errorOf(failure);
    }
    if (offset < file->bytes.size()) {
        const auto available = std::min<std::uint64_t>(bytes.size(), file->bytes.size() - offset);
        std::copy_n(file->bytes.begin() + static_cast<std::ptrdiff_t>(offset), available,
                    bytes.begin());
    }
    return {};
}

Result<void> writeRecord(const std::string& path, std::uint64_t offset,
                         std::span<const unsigned char> bytes) {
    FileError failure;
    if (!writeRegularFileAt(path, offset, std::string(bytes.begin(), bytes.end()), &failure)) {
        return errorOf(failure);
    }
    return {};
}

void putLittleEndian16(std::span<unsigned char, 2> out, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    out[0] = static_cast<unsigned char>(bits & 0xFF);
    out[1] = static_cast<unsigned char>(bits >> 8);
}

std::int16_t getLittleEndian16(std::span<const unsigned char, 2> in) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(in[0] | (in[1] << 8)));
}

void putLittleEndianDouble(std::span<unsigned char, 8> out, double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    for (unsigned char& byte : out) {
        byte = static_cast<unsigned char>(bits & 0xFF);
        bits >>= 8;
    }
}

double getLittleEndianDouble(std::span<const unsigned char, 8> in) {
    std::uint64_t bits = 0;
    for (auto it = in.rbegin(); it != in.rend(); ++it) {
        bits = (bits << 8) | *it;
    }
    return std::bit_cast<double>(bits);
}

}  // namespace merovan::common
