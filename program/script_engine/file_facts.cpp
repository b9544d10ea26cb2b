// Date, time, size and existence of the file a script names.
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <vector>

#include "program/script_engine/file_action_support.h"
#include "program/script_engine/file_actions.h"
#include "runtime/dates.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

// The entries `pattern` (the last part of a name) matches in `folder`, in name order; letter
// case is ignored and names starting with a dot match too.
std::vector<fs::path> Matches(const fs::path& folder, const std::string& pattern) {
  std::vector<fs::path> found;
  const std::string wanted =
      pattern == "*.*" ? "*" : pattern;  // "*.*" also takes names without a dot
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (fnmatch(wanted.c_str(), name.c_str(), FNM_CASEFOLD) == 0) found.push_back(folder / name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The status of the first entry File names that is not a folder.
std::optional<struct stat> FirstFile(std::string_view File) {
  const fs::path path = ScriptPath(File);
  std::vector<fs::path> candidates;
  if (!path.empty() && !HasWildcard(path.parent_path().string())) {
    if (HasWildcard(path.filename().string())) {
      candidates = Matches(path.parent_path(), path.filename().string());
    } else {
      candidates.push_back(path);
    }
  }
  for (const fs::path& candidate : candidates) {
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      storage::ClearError();
      return st;
    }
  }
  storage::SetError(storage::kFileNotFound, std::string(File));
  return std::nullopt;
}

// The local date and time of a file's last change.
struct Moment {
  std::int32_t date = 0;
  std::int32_t time = 0;
};

Moment ModifiedAt(const struct stat& st) {
  const std::time_t seconds = st.st_mtim.tv_sec;
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return {};
  return {DATE(local.tm_mon + 1, local.tm_mday, local.tm_year + 1900),
          MakeTime(local.tm_hour, local.tm_min, local.tm_sec,
                   static_cast<int>(st.st_mtim.tv_nsec / 10'000'000))};
}

}  // namespace

std::int32_t GetFileDate(std::string_view File) {
  const std::optional<struct stat> st = FirstFile(File);
  return st ? ModifiedAt(*st).date : 0;
}

std::int32_t GetFileTime(std::string_view File) {
  const std::optional<struct stat> st = FirstFile(File);
  return st ? ModifiedAt(*st).time : 0;
}

std::int64_t GetFileSize(std::string_view File) {
  const std::optional<struct stat> st = FirstFile(File);
  return st ? static_cast<std::int64_t>(st->st_size) : 0;
}

int FileExists(std::string_view File) {
  const fs::path path = ScriptPath(File);
  std::error_code ec;
  bool found = !path.empty() && fs::exists(fs::symlink_status(path, ec));
  if (!found && !path.empty() && HasWildcard(path.filename().string()) &&
      !HasWildcard(path.parent_path().string()))
    found = !Matches(path.parent_path(), path.filename().string()).empty();
  if (found) {
    storage::ClearError();
  } else {
    storage::SetError(storage::kFileNotFound, std::string(File));
  }
  return found ? 1 : 0;
}

}  // namespace vx
