#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace merovan::jobs {

// A fresh exchange directory for one test, removed afterwards.
class JobFilesTest : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return temp_.file(name); }
    void write(const std::string& name, const std::string& text) const {
        testing::writeBytes(path(name), text);
    }

    testing::TempDir temp_;
    const std::filesystem::path dir_ = temp_.path;
};

}  // namespace merovan::jobs
