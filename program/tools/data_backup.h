// Backups of the data folder: copies of named data files in dated folders below "Backup", the
// list of earlier ones, putting one back in place of the files in use, and finding the programs
// that hold the folder's files open. The copies hold the users' passwords: every folder made is
// 0700 and every copy 0600, whatever the umask.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vx {

// Told how far a copy has come: bytes done of all bytes to copy.
using CopyProgress = std::function<void(std::uintmax_t done, std::uintmax_t total)>;

struct BackupOutcome {
  std::filesystem::path folder;     // the new dated folder; empty when it could not be made
  std::vector<std::string> copied;  // the files copied, as found on disk
  std::vector<std::string> failed;  // the names that could not be copied (missing, unreadable)
  std::string error;                // why the folder could not be made
  bool ok() const { return error.empty() && failed.empty(); }
};

// Copies each named file of the data folder (found without regard to letter case) into a new
// folder "Backup/<YYYY-MM-DD>" of it ("<YYYY-MM-DD>-2" ... when that exists). A database is
// copied through SQLite, page by page, so a copy taken while the scheduler writes is whole and
// the part still in its write-ahead log is in it; other files are copied as they are. A link,
// a file or another user's folder in place of "Backup" is refused (outcome.error says so): no
// copy goes through it and no mode is changed through it; no copy replaces or follows anything.
BackupOutcome BackUpDataFiles(const std::filesystem::path& data,
                              const std::vector<std::string>& names,
                              const CopyProgress& progress = {});

struct EarlierBackup {
  std::string name;  // the folder's name ("2026-12-10-2")
  std::filesystem::path folder;
  std::vector<std::string> files;  // sorted
  std::uintmax_t bytes = 0;
  std::filesystem::file_time_type written{};
};

// The backups below "Backup" of the data folder, the newest first.
std::vector<EarlierBackup> EarlierBackups(const std::filesystem::path& data);

// A program other than this one that holds a file of the data folder open.
struct FolderUser {
  pid_t pid = 0;
  std::string program;  // its name as the system lists it
};
std::vector<FolderUser> FolderUsers(const std::filesystem::path& data);

struct RestoreOutcome {
  std::string error;             // empty: restored
  std::filesystem::path safety;  // where the files in use before were backed up
  std::vector<std::string> restored;
  bool ok() const { return error.empty(); }
};

// Puts the files of `backup` in place of the data folder's own. Nothing is lost: the files it
// replaces are backed up first (a new dated folder), and each file is copied beside its place and
// renamed over it, so a file is either the old one or the whole new one. A database's
// write-ahead log, shared-memory and transaction intent files belong to the replaced file and
// go with it. Refused while another program holds a file of the folder open, and when a
// database of the backup cannot be read as one of this program's (the error names the file).
RestoreOutcome RestoreBackup(const std::filesystem::path& data, const EarlierBackup& backup,
                             const CopyProgress& progress = {});

// "1.2 MB" and the like.
std::string ByteSize(std::uintmax_t bytes);

}  // namespace vx
