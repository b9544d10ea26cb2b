// Temporary folders for tests. TempFolder: a fresh folder under /tmp for one test, removed with
// everything in it when the test ends. TempFolderTest: a fixture whose fresh temporary folder is
// made the current folder and the home of the user's data ($XDG_DATA_HOME, where the trash
// lives), settings ($XDG_CONFIG_HOME) and scratch files ($XDG_CACHE_HOME); everything is put
// back and removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace vx::test {

class TempFolder {
 public:
  // prefix: the start of the folder's name (it may hold blanks).
  explicit TempFolder(const std::string& prefix = "vx_test") {
    std::string name = "/tmp/" + prefix + "_XXXXXX";
    if (mkdtemp(name.data()) != nullptr) path_ = name;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    if (const char* v = std::getenv("XDG_DATA_HOME")) old_data_home_ = v;
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) old_config_home_ = v;
    if (const char* v = std::getenv("XDG_CACHE_HOME")) old_cache_home_ = v;
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (root_ / "cache").c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd_);
    if (old_data_home_)
      setenv("XDG_DATA_HOME", old_data_home_->c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
    if (old_config_home_)
      setenv("XDG_CONFIG_HOME", old_config_home_->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    if (old_cache_home_)
      setenv("XDG_CACHE_HOME", old_cache_home_->c_str(), 1);
    else
      unsetenv("XDG_CACHE_HOME");
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  const std::filesystem::path& root() const { return root_; }

  static void Write(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path().empty() ? "." : p.parent_path());
    std::ofstream(p) << text;
  }
  static std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool Exists(const std::filesystem::path& p) { return std::filesystem::exists(p); }

 private:
  std::filesystem::path root_, old_cwd_;
  std::optional<std::string> old_data_home_, old_config_home_, old_cache_home_;
};

}  // namespace vx::test
