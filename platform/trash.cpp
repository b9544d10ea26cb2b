#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

namespace vx::platform {
namespace fs = std::filesystem;
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

std::string DeletionDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// The n-th candidate name in the trash for an item called `name`: the name itself, then
// "stem.2.ext", "stem.3.ext" ...
std::string Candidate(const fs::path& name, int n) {
  if (n == 1) return name.string();
  const fs::path stem = name.stem(), extension = name.extension();
  return stem.string() + "." + std::to_string(n) + extension.string();
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

fs::path HomeTrashFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return fs::path(data) / "Trash";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local/share/Trash";
}

std::string PercentEncodePath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (keep) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::error_code MoveToTrash(const fs::path& item) {
  std::error_code ec;
  const fs::path original = fs::absolute(item, ec).lexically_normal();
  if (ec) return ec;
  const fs::file_status status = fs::symlink_status(original, ec);
  if (ec) return ec;

  const fs::path trash = HomeTrashFolder(), files = trash / "files", info = trash / "info";
  fs::create_directories(trash.parent_path(), ec);
  if (ec) return ec;
  for (const fs::path& folder : {trash, files, info}) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return LastError();
  }

  // Claim a name: the info file is created exclusively, so two programs trashing items of the
  // same name at once never take the same one.
  fs::path info_file, target;
  int fd = -1;
  for (int n = 1; fd < 0 && n < 10000; ++n) {
    const std::string name = Candidate(original.filename(), n);
    target = files / name;
    if (fs::exists(fs::symlink_status(target, ec))) continue;
    info_file = info / (name + ".trashinfo");
    fd = open(info_file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return LastError();
  }
  if (fd < 0) return std::make_error_code(std::errc::file_exists);

  const std::string contents = "[Trash Info]\nPath=" + PercentEncodePath(original.string()) +
                               "\nDeletionDate=" + DeletionDate() + "\n";
  const bool written = WriteAll(fd, contents);
  close(fd);
  if (!written) {
    const std::error_code write_error = LastError();
    fs::remove(info_file, ec);
    return write_error;
  }

  if (rename(original.c_str(), target.c_str()) == 0) return {};
  std::error_code failure = LastError();
  if (failure.value() == EXDEV && fs::is_regular_file(status)) {
    fs::copy_file(original, target, ec);
    if (!ec) fs::remove(original, ec);
    if (!ec) return {};
    std::error_code ignored;
    fs::remove(target, ignored);
    failure = ec;
  }
  fs::remove(info_file, ec);
  return failure;
}

}  // namespace vx::platform
