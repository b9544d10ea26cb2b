#include "platform/user_folders.h"

#include <cstdlib>
#include <system_error>

#include "platform/private_file.h"

namespace vx::platform {
namespace {

std::filesystem::path XdgFolder(const char* variable, const char* fallback_below_home) {
  if (const char* v = std::getenv(variable); v && *v) return std::filesystem::path(v) / "varnodex";
  const char* home = std::getenv("HOME");
  std::filesystem::path base =
      home && *home ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
  return base / fallback_below_home / "varnodex";
}

}  // namespace

std::filesystem::path UserConfigFolder() {
  std::filesystem::path folder = XdgFolder("XDG_CONFIG_HOME", ".config");
  std::error_code ec;
  std::filesystem::create_directories(folder.parent_path(), ec);
  // The settings may hold passwords: the folder is its owner's alone. One made open to others
  // by an earlier version is closed, unless it is a link or another user's folder.
  EnsurePrivateFolder(folder);
  return folder;
}

std::filesystem::path DefaultDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path UserCacheFolder() {
  std::filesystem::path folder = XdgFolder("XDG_CACHE_HOME", ".cache");
  std::error_code ec;
  std::filesystem::create_directories(folder.parent_path(), ec);
  EnsurePrivateFolder(folder);
  return folder;
}

}  // namespace vx::platform
