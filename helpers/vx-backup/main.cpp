// vx-backup: copies data files into a dated backup folder.
//
//   vx-backup FILE...
//
// Run in the data folder. Each named file (matched without regard to letter case) is copied
// into "Backup/<YYYY-MM-DD>" there ("Backup/<YYYY-MM-DD>-2" ... when that exists already).
// Databases are copied through SQLite, so a copy taken while the scheduler writes is whole;
// other files are copied as they are. The copies hold the users' passwords, so the backup
// folders are 0700 and the copies 0600 whatever the umask. Exit status: 0 all copied, 1 bad command line, 2 a file
// could not be copied (the others still are).
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "runtime/storage/stored_name.h"

namespace fs = std::filesystem;

namespace {

bool IsDatabase(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char header[16] = {};
  in.read(header, sizeof header);
  return in && std::string(header, sizeof header) == std::string("SQLite format 3\0", 16);
}

// A consistent copy of a database, the part still in its write-ahead log included.
bool CopyDatabase(const fs::path& from, const fs::path& to) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(from.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt* statement = nullptr;
    ok = sqlite3_prepare_v2(db, "VACUUM INTO ?1", -1, &statement, nullptr) == SQLITE_OK &&
         sqlite3_bind_text(statement, 1, to.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
         sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return ok;
}

fs::path NewBackupFolder() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &local);
  fs::path folder = fs::path("Backup") / date;
  for (int n = 2; fs::exists(folder); ++n) folder = fs::path("Backup") / (std::string(date) + "-" + std::to_string(n));
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vx-backup FILE...\n");
    return 1;
  }
  // Everything this program creates is its user's alone, from the moment it is created.
  ::umask(077);
  const fs::path folder = NewBackupFolder();
  std::error_code error;
  fs::create_directories(folder, error);
  // A "Backup" folder left by an earlier version may be open to others.
  if (!error) fs::permissions("Backup", fs::perms::owner_all, error);
  if (!error) fs::permissions(folder, fs::perms::owner_all, error);
  if (error) {
    std::fprintf(stderr, "vx-backup: cannot make %s: %s\n", folder.c_str(), error.message().c_str());
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path from = vx::storage::ResolveOnDisk(argv[i]);
    const fs::path to = folder / from.filename();
    bool ok = fs::is_regular_file(from);
    if (ok && IsDatabase(from)) {
      ok = CopyDatabase(from, to);
    } else if (ok) {
      ok = fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    }
    // copy_file takes the original's mode; the copy is its owner's only.
    if (ok) fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, error);
    if (!ok) {
      std::fprintf(stderr, "vx-backup: cannot copy %s\n", argv[i]);
      status = 2;
    }
  }
  return status;
}
