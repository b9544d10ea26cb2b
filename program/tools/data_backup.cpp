#include "program/tools/data_backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <system_error>
#include <thread>

#include "platform/private_file.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/stored_name.h"

namespace fs = std::filesystem;

namespace vx {
namespace {

constexpr std::size_t kChunk = 1 << 20;  // bytes copied between two progress reports
constexpr int kPagesPerStep = 256;       // database pages copied between two reports

bool IsDatabase(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char header[16] = {};
  in.read(header, sizeof header);
  return in && std::string(header, sizeof header) == std::string("SQLite format 3\0", 16);
}

// Counts the bytes of a run of copies and tells `progress`.
class Meter {
 public:
  Meter(std::uintmax_t total, const CopyProgress& progress) : total_(total), progress_(progress) {}
  void Report(std::uintmax_t within_file) const {
    if (progress_) progress_(std::min(done_ + within_file, total_), total_);
  }
  void FileDone(std::uintmax_t size) {
    done_ += size;
    Report(0);
  }

 private:
  std::uintmax_t done_ = 0;
  std::uintmax_t total_;
  const CopyProgress& progress_;
};

// A consistent copy of a database through SQLite's page copy, which starts again by itself when
// the scheduler writes meanwhile.
bool CopyDatabase(const fs::path& from, const fs::path& to, std::uintmax_t size,
                  const Meter& meter) {
  const int fd = platform::CreatePrivateFile(to);
  if (fd < 0) return false;
  ::close(fd);
  sqlite3* source = nullptr;
  sqlite3* target = nullptr;
  bool ok = sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
            sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_busy_timeout(source, 10000);
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    ok = copy != nullptr;
    int rc = SQLITE_OK;
    while (ok) {
      rc = sqlite3_backup_step(copy, kPagesPerStep);
      const int pages = sqlite3_backup_pagecount(copy);
      if (pages > 0)
        meter.Report(size * static_cast<std::uintmax_t>(pages - sqlite3_backup_remaining(copy)) /
                     pages);
      if (rc == SQLITE_DONE) break;
      if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      } else if (rc != SQLITE_OK) {
        ok = false;
      }
    }
    if (copy && sqlite3_backup_finish(copy) != SQLITE_OK) ok = false;
  }
  sqlite3_close(source);
  sqlite3_close(target);
  return ok;
}

// A byte-for-byte copy into a new private file, flushed to the disk.
bool CopyPlain(const fs::path& from, const fs::path& to, const Meter& meter) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = platform::CreatePrivateFile(to);
  bool ok = out >= 0;
  std::vector<char> buffer(kChunk);
  std::uintmax_t done = 0;
  while (ok) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got == 0) break;
    if (got < 0) {
      ok = errno == EINTR;
      continue;
    }
    for (ssize_t put = 0; ok && put < got;) {
      const ssize_t n = ::write(out, buffer.data() + put, static_cast<std::size_t>(got - put));
      if (n < 0 && errno != EINTR) ok = false;
      if (n > 0) put += n;
    }
    done += static_cast<std::uintmax_t>(got);
    meter.Report(done);
  }
  if (ok) ok = ::fsync(out) == 0;
  if (out >= 0 && ::close(out) != 0) ok = false;
  ::close(in);
  return ok;
}

bool CopyFile(const fs::path& from, const fs::path& to, std::uintmax_t size, const Meter& meter) {
  return IsDatabase(from) ? CopyDatabase(from, to, size, meter) : CopyPlain(from, to, meter);
}

// The data folder's "Backup" folder, made (0700) when missing, open for making folders in.
// Anything else at the name is refused, so nothing is made or changed through it: a link
// planted there (to another folder, whose mode would change and which would receive the
// copies), a file, or a folder of another user. -1 with the reason in `error`.
int OpenBackupRoot(const fs::path& data, std::string& error) {
  const fs::path root = data / "Backup";
  if (::mkdir(root.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "Cannot make " + root.string() + ": " + std::strerror(errno);
    return -1;
  }
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ELOOP || errno == ENOTDIR
                ? root.string() +
                      " is not a folder (a link or a file has its name). Move it away, then back "
                      "up again."
                : "Cannot open " + root.string() + ": " + std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
    ::close(fd);
    error = root.string() + " belongs to another user. Move it away, then back up again.";
    return -1;
  }
  // A "Backup" folder left by an earlier version may be open to others.
  if (::fchmod(fd, 0700) != 0) {
    error = "Cannot make " + root.string() + " private: " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  return fd;
}

// Makes a new dated folder (0700) in the open "Backup" folder: "<YYYY-MM-DD>", else
// "<YYYY-MM-DD>-2" ... when that name is taken. Answers its name; empty (and `error`) when none
// could be made.
std::string MakeDatedFolder(int root, const fs::path& root_path, std::string& error) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &local);
  for (int n = 1; n < 1000; ++n) {
    const std::string name =
        n == 1 ? std::string(date) : std::string(date) + "-" + std::to_string(n);
    if (::mkdirat(root, name.c_str(), 0700) == 0) return name;
    if (errno != EEXIST) {
      error = "Cannot make " + (root_path / name).string() + ": " + std::strerror(errno);
      return {};
    }
  }
  error = "Cannot make a new folder in " + root_path.string() + ": every name of today is taken.";
  return {};
}

std::uintmax_t SizeOf(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  return error ? 0 : size;
}

// The data folder's file of that name: the name itself, else one that differs only in case.
fs::path OnDisk(const fs::path& data, const std::string& name) {
  return storage::ResolveOnDisk((data / name).string());
}

// A backup whose database this program cannot read (damaged, cut off, empty, not a database
// at all, or another program's) would put a broken file in place of a good one, and the next
// start would stop at it: such a backup is refused before anything is touched. The reason names
// the file; empty when every database of the backup is whole and ours.
std::string UnrestorableDatabase(const EarlierBackup& backup) {
  for (const std::string& name : backup.files) {
    const fs::path file = backup.folder / name;
    const std::string extension = file.extension().string();
    const bool data_file = extension.size() == 4 && (extension[1] == 'T' || extension[1] == 't') &&
                           (extension[2] == 'P' || extension[2] == 'p') &&
                           (extension[3] == 'S' || extension[3] == 's');
    if (!data_file && !IsDatabase(file)) continue;
    const storage::DataFileCheck check = storage::CheckDataFile(file.string());
    if (check.state == storage::DataFileState::Ours) continue;
    const std::string why =
        check.state == storage::DataFileState::Empty ? "it is empty" : check.reason;
    return file.string() + " cannot be restored, since " + why + ".  Nothing was changed.";
  }
  return {};
}

}  // namespace

BackupOutcome BackUpDataFiles(const fs::path& data, const std::vector<std::string>& names,
                              const CopyProgress& progress) {
  BackupOutcome outcome;
  const int root = OpenBackupRoot(data, outcome.error);
  if (root < 0) return outcome;
  const std::string dated = MakeDatedFolder(root, data / "Backup", outcome.error);
  ::close(root);
  if (dated.empty()) return outcome;
  const fs::path folder = data / "Backup" / dated;
  outcome.folder = folder;
  std::vector<fs::path> files;
  std::uintmax_t total = 0;
  for (const std::string& name : names) {
    const fs::path file = OnDisk(data, name);
    files.push_back(file);
    if (fs::is_regular_file(file)) total += SizeOf(file);
  }
  Meter meter(total, progress);
  meter.Report(0);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const fs::path& from = files[i];
    const std::uintmax_t size = SizeOf(from);
    if (fs::is_regular_file(from) && CopyFile(from, folder / from.filename(), size, meter)) {
      outcome.copied.push_back(from.filename().string());
    } else {
      outcome.failed.push_back(names[i]);
    }
    meter.FileDone(size);
  }
  return outcome;
}

std::vector<EarlierBackup> EarlierBackups(const fs::path& data) {
  std::vector<EarlierBackup> backups;
  std::error_code error;
  for (fs::directory_iterator it(data / "Backup", error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_directory(error)) continue;
    EarlierBackup backup;
    backup.folder = it->path();
    backup.name = it->path().filename().string();
    backup.written = fs::last_write_time(it->path(), error);
    std::error_code inner;
    for (fs::directory_iterator file(it->path(), inner), none; !inner && file != none;
         file.increment(inner)) {
      if (!file->is_regular_file(inner)) continue;
      backup.files.push_back(file->path().filename().string());
      backup.bytes += SizeOf(file->path());
    }
    std::sort(backup.files.begin(), backup.files.end());
    backups.push_back(std::move(backup));
  }
  std::sort(backups.begin(), backups.end(), [](const EarlierBackup& a, const EarlierBackup& b) {
    return a.written != b.written ? a.written > b.written : a.name > b.name;
  });
  return backups;
}

std::vector<FolderUser> FolderUsers(const fs::path& data) {
  std::vector<FolderUser> users;
  std::error_code error;
  const fs::path folder = fs::weakly_canonical(data, error);
  const pid_t self = ::getpid();
  for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
    const std::string pid_text = it->path().filename().string();
    if (pid_text.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(pid_text));
    if (pid == self) continue;
    std::error_code inner;
    bool holds = false;
    // Only its owner (or root) may look at a program's open files; others are not ours to see.
    for (fs::directory_iterator fd(it->path() / "fd", inner), none; !inner && fd != none && !holds;
         fd.increment(inner)) {
      std::error_code link_error;
      const fs::path target = fs::read_symlink(fd->path(), link_error);
      holds = !link_error && target.parent_path() == folder;
    }
    if (!holds) continue;
    std::ifstream comm(it->path() / "comm");
    std::string program;
    std::getline(comm, program);
    users.push_back({pid, program});
  }
  return users;
}

RestoreOutcome RestoreBackup(const fs::path& data, const EarlierBackup& backup,
                             const CopyProgress& progress) {
  RestoreOutcome outcome;
  if (const std::vector<FolderUser> users = FolderUsers(data); !users.empty()) {
    outcome.error = users.front().program + " (process " + std::to_string(users.front().pid) +
                    ") has the data folder open.";
    return outcome;
  }
  outcome.error = UnrestorableDatabase(backup);
  if (!outcome.ok()) return outcome;
  // What the backup replaces is kept first.
  std::vector<std::string> in_use;
  for (const std::string& name : backup.files) {
    if (fs::is_regular_file(OnDisk(data, name))) in_use.push_back(name);
  }
  if (!in_use.empty()) {
    const BackupOutcome kept = BackUpDataFiles(data, in_use);
    if (!kept.ok()) {
      outcome.error = kept.error.empty()
                          ? "Cannot back up " + kept.failed.front() + " before it is replaced."
                          : kept.error;
      return outcome;
    }
    outcome.safety = kept.folder;
  }
  std::uintmax_t total = 0;
  for (const std::string& name : backup.files) total += SizeOf(backup.folder / name);
  Meter meter(total, progress);
  meter.Report(0);
  for (const std::string& name : backup.files) {
    const fs::path target = OnDisk(data, name);
    const fs::path temporary = data / ("." + name + ".restoring");
    std::error_code error;
    fs::remove(temporary,
               error);  // left by a restore that was cut short; a link goes, not its target
    const fs::path from = backup.folder / name;
    const std::uintmax_t size = SizeOf(from);
    if (!CopyPlain(from, temporary, meter)) {
      fs::remove(temporary, error);
      outcome.error = "Cannot copy " + from.string() + ".";
      return outcome;
    }
    // The replaced database's log and shared memory would be read into the restored one, and
    // the record of a transaction over it that a crash left unfinished would undo rows in it.
    for (const char* suffix : {"-wal", "-shm", "-journal", "-intent"}) {
      fs::remove(target.string() + suffix, error);
    }
    fs::rename(temporary, target, error);
    if (error) {
      fs::remove(temporary, error);
      outcome.error = "Cannot replace " + target.string() + ".";
      return outcome;
    }
    outcome.restored.push_back(name);
    meter.FileDone(size);
  }
  if (const int folder = ::open(data.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
    ::fsync(folder);  // the renames reach the disk
    ::close(folder);
  }
  return outcome;
}

std::string ByteSize(std::uintmax_t bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%ju bytes", bytes);
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1024);
  } else if (bytes < 1024ull * 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
  } else {
    std::snprintf(text, sizeof text, "%.1f GB",
                  static_cast<double>(bytes) / (1024.0 * 1024 * 1024));
  }
  return text;
}

}  // namespace vx
