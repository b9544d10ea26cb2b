#include "platform/shell_file_operation.h"

#include <fnmatch.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/trash.h"

namespace vx::platform {
namespace fs = std::filesystem;
namespace {

fs::path ToPath(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return fs::path(name);
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

// The path without trailing separators ("dir/" names the same folder as "dir").
fs::path Trimmed(const fs::path& p) {
  std::string s = p.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return fs::path(s);
}

// Names no operation may touch: empty, the root folder, or "." and "..", which name a folder
// by where the program happens to stand.
bool Unusable(const fs::path& raw) {
  const fs::path p = Trimmed(raw);
  if (p.empty() || p.filename() == "." || p.filename() == "..") return true;
  std::error_code ec;
  const fs::path full = Trimmed(fs::absolute(p, ec).lexically_normal());
  return ec || full == full.root_path();
}

int ResultOf(const std::error_code& ec) {
  if (!ec) return 0;
  if (ec == std::errc::no_such_file_or_directory) return kFileOpNotFound;
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
      ec == std::errc::read_only_file_system)
    return kFileOpAccessDenied;
  return kFileOpFailed;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// True when `inner` is `outer` or lies below it.
bool Inside(const fs::path& inner, const fs::path& outer) {
  std::error_code ec;
  const fs::path a = fs::weakly_canonical(fs::absolute(inner), ec);
  const fs::path b = fs::weakly_canonical(fs::absolute(outer), ec);
  auto ai = a.begin();
  for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
    if (bi->empty()) continue;  // a trailing separator
    if (ai == a.end() || *ai != *bi) return false;
  }
  return true;
}

// "name (2).ext", "name (3).ext" ...: the first that is free.
fs::path FreeName(const fs::path& taken) {
  for (int n = 2;; ++n) {
    fs::path candidate = taken.parent_path() / (taken.stem().string() + " (" + std::to_string(n) +
                                                ")" + taken.extension().string());
    if (!Exists(candidate)) return candidate;
  }
}

// The items that the source names stand for. `many` tells whether the names may stand for
// more than one item (a list or a wildcard), which makes the target a folder.
int Expand(const std::vector<std::string>& names, unsigned flags, std::vector<fs::path>& items,
           bool& many) {
  if (names.empty()) return kFileOpInvalidFiles;
  many = names.size() > 1;
  for (const std::string& name : names) {
    const fs::path p = Trimmed(ToPath(name));
    if (Unusable(p)) return kFileOpInvalidFiles;
    const std::string last = p.filename().string();
    fs::path folder = p.parent_path();
    if (HasWildcard(folder.string())) return kFileOpInvalidFiles;
    if (!HasWildcard(last)) {
      if (!Exists(p)) return kFileOpNotFound;
      items.push_back(p);
      continue;
    }
    many = true;
    if (folder.empty()) folder = ".";
    const std::string pattern =
        last == "*.*" ? "*" : last;  // "*.*" also matches names without a dot
    std::error_code ec;
    std::vector<fs::path> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string entry = it->path().filename().string();
      if (fnmatch(pattern.c_str(), entry.c_str(), FNM_CASEFOLD) != 0) continue;
      std::error_code dir_ec;
      if ((flags & FOF_FILESONLY) && it->is_directory(dir_ec)) continue;
      matches.push_back(folder == "." && p.parent_path().empty() ? fs::path(entry) : it->path());
    }
    if (ec) return ResultOf(ec);
    std::sort(matches.begin(), matches.end());
    items.insert(items.end(), matches.begin(), matches.end());
  }
  return 0;
}

int CopyOrMove(const FileOperation& op, const std::vector<fs::path>& items, bool many) {
  if (op.targets.empty()) return kFileOpInvalidFiles;
  const fs::path raw_target = ToPath(op.targets.front());
  if (Unusable(raw_target)) return kFileOpInvalidFiles;
  const fs::path target = Trimmed(raw_target);
  std::error_code ec;
  const bool into_folder =
      many || raw_target.string().back() == '/' || fs::is_directory(target, ec);
  if (into_folder) {
    fs::create_directories(target, ec);
    if (ec) return ResultOf(ec);
  }
  for (const fs::path& item : items) {
    fs::path dest = into_folder ? target / item.filename() : target;
    if (Exists(dest)) {
      if (op.flags & FOF_RENAMEONCOLLISION) {
        dest = FreeName(dest);
      } else if (fs::equivalent(item, dest, ec)) {
        return kFileOpSameFile;
      }
    }
    const bool folder = fs::is_directory(fs::symlink_status(item, ec));
    if (folder && Inside(dest, item)) return kFileOpDestSubtree;
    if (op.operation == FO_COPY) {
      if (folder) {
        fs::copy(item, dest,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing |
                     fs::copy_options::copy_symlinks,
                 ec);
      } else {
        fs::copy_file(item, dest, fs::copy_options::overwrite_existing, ec);
      }
      if (ec) return ResultOf(ec);
      continue;
    }
    fs::rename(item, dest, ec);
    if (ec == std::errc::cross_device_link) {
      // Another file system: a file is copied and then removed; a folder would have to be
      // deleted tree and all afterwards, which is not done.
      if (folder) return kFileOpFailed;
      ec.clear();
      fs::copy_file(item, dest, fs::copy_options::overwrite_existing, ec);
      if (!ec) fs::remove(item, ec);
    }
    if (ec) return ResultOf(ec);
  }
  return 0;
}

int Rename(const FileOperation& op, const std::vector<fs::path>& items, bool many) {
  if (many || items.size() != 1 || op.targets.empty()) return kFileOpInvalidFiles;
  fs::path dest = Trimmed(ToPath(op.targets.front()));
  if (Unusable(dest)) return kFileOpInvalidFiles;
  if (dest.parent_path().empty())
    dest = items.front().parent_path() / dest;  // a new name in the same folder
  std::error_code ec;
  if (Exists(dest)) {
    if (fs::equivalent(items.front(), dest, ec)) return kFileOpSameFile;
    if (op.flags & FOF_RENAMEONCOLLISION) dest = FreeName(dest);
  }
  fs::rename(items.front(), dest, ec);
  return ResultOf(ec);
}

int Delete(const FileOperation& op, const std::vector<fs::path>& items) {
  for (const fs::path& item : items) {
    std::error_code ec;
    if (op.flags & FOF_ALLOWUNDO) {
      ec = MoveToTrash(item);
    } else if (fs::is_directory(fs::symlink_status(item, ec))) {
      return kFileOpAccessDenied;  // a folder is never deleted for good
    } else {
      fs::remove(item, ec);
    }
    if (ec) return ResultOf(ec);
  }
  return 0;
}

}  // namespace

int RunFileOperation(const FileOperation& op) {
  std::vector<fs::path> items;
  bool many = false;
  if (const int expanded = Expand(op.sources, op.flags, items, many); expanded != 0)
    return expanded;
  if (items.empty()) return 0;  // a wildcard that matches nothing leaves nothing to do
  switch (op.operation) {
    case FO_COPY:
    case FO_MOVE:
      return CopyOrMove(op, items, many);
    case FO_RENAME:
      return Rename(op, items, many);
    case FO_DELETE:
      return Delete(op, items);
    default:
      return kFileOpInvalidFiles;
  }
}

}  // namespace vx::platform
