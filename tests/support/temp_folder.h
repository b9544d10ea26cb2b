// A fresh folder under /tmp for one test, removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace vx::test_support {

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

}  // namespace vx::test_support
