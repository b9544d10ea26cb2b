#include "runtime/storage/stored_name.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "runtime/fixed_string.h"
#include "runtime/storage/open_burst.h"

namespace vx::storage {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y && std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

}  // namespace

StoredName ParseStoredName(std::string_view stored, Driver driver) {
  // Stored names come from fixed-width globals: blanks around them mean nothing.
  stored = ClipView(stored);
  while (!stored.empty() && stored.front() == ' ') stored.remove_prefix(1);

  StoredName out;
  std::string_view file = stored;
  if (const auto bang = stored.find("\\!"); bang != std::string_view::npos) {
    file = stored.substr(0, bang);
    out.table = std::string(stored.substr(bang + 2));
  }
  out.path = std::string(file);
  std::replace(out.path.begin(), out.path.end(), '\\', '/');

  if (driver == Driver::TopSpeed) {
    const auto slash = out.path.rfind('/');
    const std::string_view base = slash == std::string::npos
                                      ? std::string_view(out.path)
                                      : std::string_view(out.path).substr(slash + 1);
    if (base.find('.') == std::string_view::npos) out.path += ".TPS";
  }
  return out;
}

namespace {

// `found`: the name stands for an entry on disk. Plain system calls rather than
// std::filesystem: every table of a window's tree resolves its name, and the folder is listed
// entry by entry when the name is spelled in another letter case than the file.
std::string ResolveNow(const std::string& path, bool& found) {
  found = true;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return path;

  // The folder is what comes before the last '/', without the separators that end it ("/"
  // itself for a name in the root); the current folder for a name without one.
  const std::size_t slash = path.rfind('/');
  std::string folder;
  if (slash != std::string::npos) {
    std::size_t end = slash;
    while (end > 0 && path[end - 1] == '/') --end;
    folder = end == 0 ? std::string("/") : path.substr(0, end);
  }
  const std::string_view wanted = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
  std::vector<std::string> matches;
  if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name(entry->d_name);
      if (name == "." || name == "..") continue;
      if (EqualNoCase(name, wanted)) matches.emplace_back(name);
    }
    ::closedir(dir);
  }
  if (matches.empty()) {
    found = false;
    return path;
  }
  // Several spellings on disk: take the same one every time.
  std::sort(matches.begin(), matches.end());
  if (folder.empty()) return matches.front();
  return folder.back() == '/' ? folder + matches.front() : folder + '/' + matches.front();
}

}  // namespace

std::string ResolveOnDisk(const std::string& path) {
  // Within an open burst each name is looked up once: a name spelled in another letter case
  // than the file on disk would otherwise have the folder listed for every table in that file,
  // twice per open. A name that stands for nothing is looked up again: another table of the
  // burst may create its file meanwhile, under another spelling that this name must then find.
  static BurstMemo<std::string> memo;
  return memo.Get(path, [](const std::string& p, bool& found) { return ResolveNow(p, found); });
}

std::string FileOnDisk(std::string_view stored, Driver driver) {
  if (ClipView(stored).empty()) return {};
  const std::string path = ResolveOnDisk(ParseStoredName(stored, driver).path);
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace vx::storage
