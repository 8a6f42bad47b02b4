#include "core/common/record_file.h"

#include <algorithm>
#include <bit>

namespace merovan::common {

std::optional<RecordFile> RecordFile::open(const std::string& path) {
    constexpr auto mode = std::ios::in | std::ios::out | std::ios::binary;
    std::fstream stream(path, mode);
    if (!stream.is_open()) {
        // Append mode creates a missing file without ever truncating one that appeared meanwhile.
        { const std::ofstream create(path, std::ios::binary | std::ios::app); }
        stream.open(path, mode);
    }
    if (!stream.is_open()) {
        return std::nullopt;
    }
    return RecordFile(std::move(stream));
}

bool RecordFile::read(std::uint64_t offset, std::span<unsigned char> bytes) {
    std::ranges::fill(bytes, 0);
    stream_.clear();
    stream_.seekg(0, std::ios::end);
    const std::streamoff size = stream_.tellg();
    if (size < 0) {
        return false;
    }
    if (offset >= static_cast<std::uint64_t>(size)) {
        return true;
    }
    const auto available =
        std::min<std::uint64_t>(bytes.size(), static_cast<std::uint64_t>(size) - offset);
    stream_.seekg(static_cast<std::streamoff>(offset));
    stream_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(available));
    return static_cast<std::uint64_t>(stream_.gcount()) == available;
}

bool RecordFile::write(std::uint64_t offset, std::span<const unsigned char> bytes) {
    stream_.clear();
    stream_.seekp(static_cast<std::streamoff>(offset));
    stream_.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    stream_.flush();
    return stream_.good();
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
