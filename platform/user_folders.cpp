#include "platform/user_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

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
  if (::mkdir(folder.c_str(), 0700) != 0 && errno == EEXIST) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) != 0) {
      ::fchmod(fd, st.st_mode & 07700);
    }
    if (fd >= 0) ::close(fd);
  }
  return folder;
}

std::filesystem::path DefaultDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

}  // namespace vx::platform
