#include "platform/private_file.h"

#include <fcntl.h>

#include <cerrno>

namespace vx::platform {

int CreatePrivateFile(const std::filesystem::path& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int CreatePrivateFileNamed(const std::function<std::filesystem::path(int attempt)>& name_for,
                           std::filesystem::path& made) {
  constexpr int kTries = 100;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    made = name_for(attempt);
    const int fd = CreatePrivateFile(made);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace vx::platform
