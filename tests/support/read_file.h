#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace merovan::testing {

// The whole file as bytes, empty when there is none.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace merovan::testing
