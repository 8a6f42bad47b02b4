#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace merovan::testing {

// A fresh directory for one test, removed with its contents afterwards.
struct TempDir {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("merovan-test-" + std::to_string(std::random_device{}()));
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace merovan::testing
