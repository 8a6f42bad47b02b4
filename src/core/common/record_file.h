#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>

// Small binary data files of fixed records (vats.dat, payeft.dat): little-endian numbers at
// fixed offsets, where whatever lies beyond the end of the file reads as zeros.
namespace merovan::common {

class RecordFile {
  public:
    // Opens the file for reading and writing, creating it empty when it is missing.
    static std::optional<RecordFile> open(const std::string& path);

    // Fills bytes from offset; the part beyond the end of the file becomes zeros.
    bool read(std::uint64_t offset, std::span<unsigned char> bytes);
    // Writes bytes at offset, leaving the rest of the file as it is.
    bool write(std::uint64_t offset, std::span<const unsigned char> bytes);

  private:
    explicit RecordFile(std::fstream stream) : stream_(std::move(stream)) {}
    std::fstream stream_;
};

void putLittleEndian16(std::span<unsigned char, 2> out, std::int16_t value);
std::int16_t getLittleEndian16(std::span<const unsigned char, 2> in);
void putLittleEndianDouble(std::span<unsigned char, 8> out, double value);
double getLittleEndianDouble(std::span<const unsigned char, 8> in);

}  // namespace merovan::common
