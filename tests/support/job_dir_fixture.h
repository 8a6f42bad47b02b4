#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace merovan::jobs {

// A fresh exchange directory for one test, removed afterwards.
class JobFilesTest : public ::testing::Test {
  protected:
    JobFilesTest() {
        dir_ = std::filesystem::temp_directory_path() /
               ("merovan-jobfiles-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~JobFilesTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }

    std::filesystem::path dir_;
};

}  // namespace merovan::jobs
