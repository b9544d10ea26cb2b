#include "runtime/storage/stored_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "runtime/file_stamp.h"
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

// A folder's entries as listed, with what a stat of the folder answered at the listing.
struct Listing {
  struct stat folder {};
  std::vector<std::string> names;
};

// The folders listed to find names spelled in another letter case than their files, kept for
// the process: a name spelled so would otherwise have its folder listed at every open. A kept
// listing answers while a stat of the folder finds the same folder with the same times.
class FolderListings {
 public:
  // The entries of `folder` whose names equal `wanted` without regard to case; none when the
  // folder cannot be listed.
  std::vector<std::string> Matching(const std::string& folder, std::string_view wanted) {
    std::vector<std::string> matches;
    if (Known(folder)) {
      struct stat st {};
      if (::stat(folder.c_str(), &st) == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const auto it = listings_.find(folder);
            it != listings_.end() && FileStamp::Of(it->second.folder) == FileStamp::Of(st)) {
          Collect(it->second, wanted, &matches);
          return matches;
        }
      }
    }
    Listing listing;
    timespec listed_at{};
    ::clock_gettime(CLOCK_REALTIME, &listed_at);
    const bool trusted = List(folder, &listing) && StampSettled(listing.folder, listed_at);
    Collect(listing, wanted, &matches);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!trusted) {
      listings_.erase(folder);
    } else {
      if (listings_.size() >= kMaxFolders) listings_.clear();
      listings_[folder] = std::move(listing);
    }
    return matches;
  }

 private:
  static constexpr std::size_t kMaxFolders = 64;

  bool Known(const std::string& folder) {
    std::lock_guard<std::mutex> lock(mutex_);
    return listings_.count(folder) != 0;
  }

  static void Collect(const Listing& listing, std::string_view wanted,
                      std::vector<std::string>* matches) {
    for (const std::string& name : listing.names) {
      if (EqualNoCase(name, wanted)) matches->push_back(name);
    }
  }

  // Reads the entries of `folder` with the folder's state, taken from the listed folder itself.
  // False when it cannot be listed (the entries read so far stay in `out`).
  static bool List(const std::string& folder, Listing* out) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool whole = ::fstat(fd, &out->folder) == 0;
    std::vector<char> buffer(32 * 1024);
    while (whole) {
      const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
      if (got <= 0) {
        whole = got == 0;
        break;
      }
      for (ssize_t at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer.data() + at);
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") out->names.emplace_back(name);
        at += entry->d_reclen;
      }
    }
    ::close(fd);
    return whole;
  }

  std::mutex mutex_;
  std::unordered_map<std::string, Listing> listings_;
};

FolderListings& Listings() {
  static auto* listings = new FolderListings();
  return *listings;
}

// `keep`: the answer may serve the rest of an open burst (a name that stands for an entry on
// disk). Plain system calls rather than std::filesystem: every table of a window's tree
// resolves its name.
ResolvedName ResolveNow(const std::string& path, bool& keep) {
  keep = true;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return {path, 0};
  const int error = errno;

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
  std::vector<std::string> matches = Listings().Matching(folder.empty() ? "." : folder, wanted);
  if (matches.empty()) {
    keep = false;
    return {path, error};
  }
  // Several spellings on disk: take the same one every time.
  std::sort(matches.begin(), matches.end());
  if (folder.empty()) return {matches.front(), ResolvedName::kNotChecked};
  return {folder.back() == '/' ? folder + matches.front() : folder + '/' + matches.front(),
          ResolvedName::kNotChecked};
}

}  // namespace

ResolvedName ResolveName(const std::string& path) {
  // Within an open burst each name is looked up once: a name spelled in another letter case
  // than the file on disk would otherwise have the folder checked for every table in that
  // file. A name that stands for nothing is looked up again: another table of the burst may
  // create its file meanwhile, under another spelling that this name must then find.
  static BurstMemo<ResolvedName> memo;
  return memo.Get(path, ResolveNow);
}

std::string ResolveOnDisk(const std::string& path) { return ResolveName(path).path; }

std::string FileOnDisk(std::string_view stored, Driver driver) {
  if (ClipView(stored).empty()) return {};
  const std::string path = ResolveOnDisk(ParseStoredName(stored, driver).path);
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace vx::storage
