// vx-dbase: database maintenance of the data folder.
//
//   vx-dbase
//
// Run in the data folder (VX's "File Manager" starts it there, then ends itself). Waits until no
// program holds a file of the folder open, then checks every data file, rebuilds its keys,
// compacts it and counts the records of its tables. With a display, a window shows the progress,
// the tables and the outcome and offers to start VX again; without one, the outcome goes to
// standard output. Exit status: 0 every file sound, 2 problems found (or no data files),
// 3 the folder stayed in use.
//
//   vx-dbase --to-server | --from-server
//
// Copies the data folder's tables to the database server the folder names (PATHS.INI's SERVER
// entry or its VXSERVER.INI), or the server's tables back into the folder's files, each table's
// records counted on both sides. Exit status: 0 copied whole, 2 a problem (named on stderr).
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <thread>

#include "datadll/dictionary/vx_files.h"
#include "frontend/qt/display_probe.h"
#include "frontend/qt/run_with_qt.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "program/common/data_server.h"
#include "program/tools/data_backup.h"
#include "program/tools/data_maintenance.h"
#include "program/tools/database_maintenance_window.h"
#include "program/tools/server_copy.h"

namespace {

int RunWithoutWindow(const std::filesystem::path& data) {
  for (int waited = 0; !vx::FolderUsers(data).empty(); ++waited) {
    if (waited == 60) {
      const vx::FolderUser user = vx::FolderUsers(data).front();
      std::fprintf(stderr, "vx-dbase: %s (process %d) still has the data folder open\n",
                   user.program.c_str(), static_cast<int>(user.pid));
      return 3;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  const vx::MaintenanceReport report = vx::MaintainDataFiles(data);
  for (const vx::TableRecords& table : report.tables)
    std::printf("%s %s: %lld records\n", table.file.c_str(), table.table.c_str(),
                static_cast<long long>(table.records));
  std::printf("vx-dbase: %s\n", vx::MaintenanceSummary(report).c_str());
  return report.ok() && !report.files.empty() ? 0 : 2;
}

int CopyWithServer(const std::filesystem::path& data, vx::CopyDirection direction) {
  const vx::DataServerChoice choice = vx::DataServerOf(data);
  if (!choice.settings) {
    std::fprintf(stderr, "vx-dbase: %s\n",
                 choice.problem.empty() ? "the data folder names no database server"
                                        : choice.problem.c_str());
    return 2;
  }
  vx::VX_Files_Load();
  const vx::CopyReport report = vx::CopyTables(*choice.settings, direction);
  vx::VX_Files_Unload();
  for (const vx::TableRecords& table : report.tables)
    std::printf("%s: %lld records\n", table.table.c_str(), static_cast<long long>(table.records));
  for (const std::string& problem : report.problems)
    std::fprintf(stderr, "vx-dbase: %s\n", problem.c_str());
  return report.ok() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  ::umask(077);
  const std::filesystem::path data = std::filesystem::current_path();
  if (argc == 2 && std::string_view(argv[1]) == "--to-server")
    return CopyWithServer(data, vx::CopyDirection::ToServer);
  if (argc == 2 && std::string_view(argv[1]) == "--from-server")
    return CopyWithServer(data, vx::CopyDirection::FromServer);
  if (!vx::qt::DisplayAvailable()) return RunWithoutWindow(data);
  bool sound = false;
  const int run = vx::qt::RunWithQt(argc, argv, [&] {
    vx::VX_Files_Load();
    sound = vx::DatabaseMaintenance(vx::platform::SystemProcesses(),
                                    vx::platform::RunningProgramFolder() / "VX");
    vx::VX_Files_Unload();
  });
  return run != 0 ? run : sound ? 0 : 2;
}
