#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/common/result.h"

// Small binary data files of fixed records (vats.dat, payeft.dat): little-endian numbers at
// fixed offsets, where whatever lies beyond the end of the file reads as zeros.
namespace merovan::common {

// Fills bytes from offset of the file, opened for reading only (a user who may read the data
// files but not write them reads them all the same). What lies beyond the end of the file
// reads as zeros; a missing file reads as zeros too and is created empty when the directory
// allows it. Anything but a regular file is refused, with an error naming the file.
Result<void> readRecord(const std::string& path, std::uint64_t offset,
                        std::span<unsigned char> bytes);
// Writes bytes at offset, creating the file when missing and leaving the rest of it as it is.
Result<void> writeRecord(const std::string& path, std::uint64_t offset,
                         std::span<const unsigned char> bytes);

void putLittleEndian16(std::span<unsigned char, 2> out, std::int16_t value);
std::int16_t getLittleEndian16(std::span<const unsigned char, 2> in);
void putLittleEndianDouble(std::span<unsigned char, 8> out, double value);
double getLittleEndianDouble(std::span<const unsigned char, 8> in);

}  // namespace merovan::common
