#include "program/shell/start_up_database.h"

#include <filesystem>
#include <string>

#include "program/shell/start_helper.h"
#include "program/windows/program_errors.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/stored_name.h"

namespace vx {
namespace {

using storage::DataFileCheck;
using storage::DataFileState;

constexpr CommandSplit kMaintenance{"VX_DBASE.EXE", ""};

std::string BackupAdvice(const DataFileCheck& check) {
  const std::filesystem::path backups = std::filesystem::path(check.path).parent_path() / "Backup";
  return "restore the latest backup with the backup program (" +
         HelperProgramPath({"KVBBACK.EXE", "VX97.TPS"}).string() + "; the backups are in " +
         backups.string() + ")";
}

MessageBoxRequest UnusableBox(const DataFileCheck& check) {
  const std::string closes = "  Varnodex closes now and leaves the file as it is.";
  if (check.state == DataFileState::Foreign) {
    return {"Not a Varnodex Database",
            "The file " + check.path +
                " is another program's database, so Varnodex does not use it.  Move it "
                "away, or start Varnodex in another folder." +
                closes,
            MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK};
  }
  const std::string cannot =
      "Varnodex cannot read its database " + check.path + ": " + check.reason + ".\n\n";
  if (check.sqlite) {
    // A database the maintenance program can look at: its check and rebuilt keys mend most damage.
    return {"Database Damaged",
            cannot + "The maintenance program (" + HelperProgramPath(kMaintenance).string() +
                ") checks the database and rebuilds its keys, which mends most damage; if it "
                "cannot mend it, " +
                BackupAdvice(check) + "." + closes + "\n\nStart the maintenance program now?",
            MessageIcon::Exclamation, BUTTON_YES | BUTTON_NO, BUTTON_NO};
  }
  std::string advice = BackupAdvice(check);
  advice[0] = 'R';
  return {"Database Unreadable",
          cannot + advice +
              ", or move the file away so that Varnodex makes a new, empty database." + closes,
          MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK};
}

}  // namespace

bool CheckDatabaseAtStart() {
  const DataFileCheck check = storage::CheckDataFile(
      storage::ResolveOnDisk(storage::ParseStoredName("VX97", storage::Driver::TopSpeed).path));
  ErrorClass& errors = ProgramErrors();
  switch (check.state) {
    case DataFileState::Missing:
    case DataFileState::Ours:
      return true;
    case DataFileState::Empty: {
      std::string advice = BackupAdvice(check);
      errors.Show({"New Database",
                   "The database " + check.path +
                       " is empty (0 bytes): Varnodex makes a new, empty database in it.  "
                       "If your tasks were kept in it, close Varnodex and " +
                       advice + ".",
                   MessageIcon::Information, BUTTON_OK, BUTTON_OK});
      return true;
    }
    case DataFileState::NotAFile:
    case DataFileState::Unreadable:
    case DataFileState::Foreign:
      break;
  }
  const MessageBoxRequest box = UnusableBox(check);
  if (errors.Show(box) == BUTTON_YES && box.buttons != BUTTON_OK) StartHelperProgram(kMaintenance);
  errors.Halt(kExitDatabaseUnusable, "Cannot use the database " + check.path + ": " + check.reason);
  return false;
}

}  // namespace vx
