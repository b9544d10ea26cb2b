// A scratch folder that is the current directory while a data-library test runs.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace vx::testing {

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vx-datadll-XXXXXX";
    dir_ = mkdtemp(pattern);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_;
  std::filesystem::path old_;
};

}  // namespace vx::testing
