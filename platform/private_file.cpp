#include "platform/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool EnsurePrivateFolder(const std::filesystem::path& folder) {
  if (::mkdir(folder.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && st.st_uid != ::geteuid()) {
    errno = EACCES;
    ok = false;
  }
  if (ok && (st.st_mode & 077) != 0) ok = ::fchmod(fd, st.st_mode & 07700) == 0;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return ok;
}

}  // namespace vx::platform
