// vx-backup: backs up data files into a dated folder, and restores earlier backups.
//
//   vx-backup FILE...
//
// Run in the data folder. Each named file (matched without regard to letter case) is copied
// into "Backup/<YYYY-MM-DD>" there ("Backup/<YYYY-MM-DD>-2" ... when that exists already).
// Databases are copied through SQLite, so a copy taken while the scheduler writes is whole;
// other files are copied as they are. The copies hold the users' passwords, so the backup
// folders are 0700 and the copies 0600 whatever the umask. With a display, a window then says
// what was copied and where, lists the earlier backups and restores a chosen one; without one,
// the outcome goes to standard output. Exit status: 0 all copied, 1 bad command line, 2 a file
// could not be copied (the others still are).
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "datadll/dictionary/vx_files.h"
#include "frontend/qt/display_probe.h"
#include "frontend/qt/run_with_qt.h"
#include "program/tools/backup_restore_window.h"
#include "program/tools/data_backup.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vx-backup FILE...\n");
    return 1;
  }
  // Everything this program creates is its user's alone, from the moment it is created.
  ::umask(077);
  const std::vector<std::string> names(argv + 1, argv + argc);
  if (!vx::qt::DisplayAvailable()) {
    const vx::BackupOutcome outcome = vx::BackUpDataFiles(std::filesystem::current_path(), names);
    if (!outcome.error.empty()) std::fprintf(stderr, "vx-backup: %s\n", outcome.error.c_str());
    for (const std::string& name : outcome.copied)
      std::printf("vx-backup: %s backed up to %s\n", name.c_str(), outcome.folder.c_str());
    for (const std::string& name : outcome.failed)
      std::fprintf(stderr, "vx-backup: cannot copy %s\n", name.c_str());
    return outcome.ok() ? 0 : 2;
  }
  bool whole = false;
  const int run = vx::qt::RunWithQt(argc, argv, [&] {
    vx::VX_Files_Load();
    whole = vx::BackupRestore(names);
    vx::VX_Files_Unload();
  });
  return run != 0 ? run : whole ? 0 : 2;
}
