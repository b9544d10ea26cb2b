#include "runtime/storage/stored_name.h"

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

// `found`: the name stands for an entry on disk.
std::string ResolveNow(const std::string& path, bool& found) {
  namespace fs = std::filesystem;
  std::error_code ec;
  found = true;
  if (fs::exists(path, ec)) return path;

  const fs::path p(path);
  const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  const std::string wanted = p.filename().string();
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (EqualNoCase(name, wanted)) matches.push_back(name);
  }
  if (matches.empty()) {
    found = false;
    return path;
  }
  // Several spellings on disk: take the same one every time.
  std::sort(matches.begin(), matches.end());
  return p.has_parent_path() ? (folder / matches.front()).string() : matches.front();
}

}  // namespace

std::string ResolveOnDisk(const std::string& path) {
  // Within an open burst each name is looked up once: a name spelled in another letter case
  // than the file on disk would otherwise have the folder listed for every table in that file,
  // twice per open. A name that stands for nothing is looked up again: another table of the
  // burst may create its file meanwhile, under another spelling that this name must then find.
  static BurstMemo memo;
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
