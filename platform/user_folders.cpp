#include "platform/user_folders.h"

#include <cstdlib>
#include <system_error>

namespace vx::platform {
namespace {

std::filesystem::path XdgFolder(const char* variable, const char* fallback_below_home) {
  if (const char* v = std::getenv(variable); v && *v) return std::filesystem::path(v) / "varnodex";
  const char* home = std::getenv("HOME");
  std::filesystem::path base = home && *home ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
  return base / fallback_below_home / "varnodex";
}

}  // namespace

std::filesystem::path UserConfigFolder() {
  std::filesystem::path folder = XdgFolder("XDG_CONFIG_HOME", ".config");
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder;
}

std::filesystem::path DefaultDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

}  // namespace vx::platform
