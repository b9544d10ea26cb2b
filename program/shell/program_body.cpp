#include "program/shell/program_body.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "platform/user_folders.h"
#include "program/common/data_server.h"
#include "program/common/program_registry.h"
#include "program/reports/schedule_work_file.h"
#include "program/shell/data_folder_access.h"
#include "program/shell/data_folder_lock.h"
#include "program/shell/install_program_services.h"
#include "program/shell/main_frame.h"
#include "program/shell/named_data_folder.h"
#include "program/shell/network_data_folder.h"
#include "program/shell/register_program_windows.h"
#include "program/shell/start_up_database.h"
#include "program/shell/start_up_session.h"
#include "runtime/ini_file.h"
#include "runtime/storage/table_backend.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kDatabase = "VX97.TPS";
constexpr std::string_view kPathsIni = ".\\PATHS.INI";

// A folder that names a database server holds no database file of its own.
bool DatabaseHere() {
  std::error_code ec;
  return std::filesystem::exists(kDatabase, ec) || NamesDataServer(".");
}

bool EnterFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.empty()) return false;
  std::filesystem::current_path(folder, ec);
  return !ec;
}

// The program's own objects, alive for the whole process: the data library keeps using them
// until it is unloaded.
ErrorClass& ProgramErrorObject() {
  static ErrorClass errors;
  return errors;
}
WindowMessageReporter& ProgramReporter() {
  static WindowMessageReporter reporter;
  return reporter;
}
IniFile& PositionIni() {
  static IniFile positions(".\\POSITION.INI");
  return positions;
}

}  // namespace

bool FindDataFolder() {
  ForgetNewDataFolderNotice();
  if (const std::optional<NamedFolder> named = NamedDataFolder())
    return EnterNamedDataFolder(*named);
  if (!DatabaseHere() && std::filesystem::exists("PATHS.INI")) {
    const std::string named = GETINI("PATH", "DATA", "", kPathsIni);
    // A data folder on a disk that is not mounted must not pass unnoticed: the user would
    // otherwise go on with a new, empty database and think the tasks lost.
    if (!EnterFolder(named) && !named.empty()) {
      MESSAGE("The data folder " + named +
                  " named in PATHS.INI cannot be found.  If it is on a disk that is not connected, "
                  "connect it and start again, or choose another folder now.",
              "Data Folder Missing", MessageIcon::Exclamation);
    }
  }
  if (DatabaseHere()) return true;

  std::string folder = std::filesystem::current_path().string();
  if (FILEDIALOG("Select data directory", folder, {}, FILE_Directory | FILE_LongName) &&
      !folder.empty()) {
    // Written to the PATHS.INI of the folder current before the change, where the next start
    // looks for it.
    PUTINI("PATH", "DATA", folder, kPathsIni);
    EnterFolder(folder);
  } else {
    // Says where, so that an empty database made in an unexpected place can be found.
    MESSAGE("Application data will be created  Folder: " + std::filesystem::current_path().string(),
            "New Database", MessageIcon::Information);
  }
  return true;
}

void ProgramBody() {
  // Until Main's frame watches the session itself, its end stops the start here.
  WatchStartUpSession();
  // A second start on a folder in use ends here, before it opens anything in the folder.
  if (!FindDataFolder() || StartUpSessionEnded() || !TakeDataFolder()) {
    StopWatchingStartUpSession();
    return;
  }
  WarnWhenDataFolderOpenToOthers();
  WarnWhenDataFolderOnNetwork();
  // Before any table opens: the tables of a folder that names a server are the server's.
  if (!UseDataServer()) {
    StopWatchingStartUpSession();
    ReleaseDataFolder();
    return;
  }
  // Work files of reports that a crash or a kill kept from removing theirs.
  SweepScheduleWorkFiles();
  const bool load_here = !VX_Files_Loaded();
  if (load_here) VX_Files_Load();

  ErrorClass& errors = ProgramErrorObject();
  errors.Init();
  errors.SetReporter(&ProgramReporter());
  // Resolved now, in the data folder.
  PositionIni() = IniFile(".\\POSITION.INI");
  ProgramRegistry().INIT(1);
  VX_FILES_INIT(&errors, &PositionIni());
  // Before any table is opened, so that a database that cannot be used is said once and
  // nothing is written to it.
  if (CheckDatabaseAtStart() && !StartUpSessionEnded()) {
    static const InstalledProgramServices services;
    RegisterProgramWindows();
    Main();
  }
  StopWatchingStartUpSession();
  // The windows still open on other threads close with their own Kill, which uses the data
  // library's managers: every one of them has ended before the library lets go of them.
  CloseOtherThreads();

  ProgramRegistry().KILL();
  VX_FILES_KILL();
  if (load_here) VX_Files_Unload();
  storage::InstallTableStore(nullptr);  // the server's connections go with the program's tables
  ReleaseDataFolder();
}

}  // namespace vx
