#include "program/tools/database_maintenance_window.h"

#include <string>
#include <vector>

#include "framework/window_manager.h"
#include "platform/process.h"
#include "program/tools/data_backup.h"
#include "program/tools/data_maintenance.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace fs = std::filesystem;

namespace vx {
namespace {

constexpr std::string_view kCaption = "Database Maintenance";
constexpr long kWaitTick = 50;   // hundredths between two looks whether the folder is free
constexpr int kWaitTicks = 120;  // one minute: VX closing its windows and tables takes seconds

class TableList final : public ListSource {
 public:
  std::vector<TableRecords> rows;
  std::size_t Records() const override { return rows.size(); }
  std::vector<std::string> Fields(std::size_t row) const override {
    return {rows[row].file, rows[row].table, std::to_string(rows[row].records)};
  }
};

std::string Holder(const std::vector<FolderUser>& users) {
  return users.front().program + " (process " + std::to_string(users.front().pid) + ")";
}

}  // namespace

bool DatabaseMaintenance(platform::ProcessLauncher& launcher, const fs::path& vx_program) {
  const fs::path data = fs::current_path();
  std::string status;
  TableList tables;
  bool sound = false;
  int waited = 0;

  Window window(kCaption);
  window.String("Data folder: " + data.string());
  window.String(status, "@s250");
  Control& bar = window.Progress(0, 100);
  bar.Hide();  // shown while the files are done
  window.Prompt("&Tables:");
  Control& list =
      window.List("70L(2)|M~File~@s20@100L(2)|M~Table~@s32@50R(2)|M~Records~@n12@").From(&tables);
  Control& start = window.Button("&Start");
  Control& start_vx = window.Button("Start &VX");
  start_vx.Disable();
  Control& close = window.Button("&Close");
  window.SetCancelButton(close);

  WindowManager manager(window);
  const WindowProcedureScope scope("DatabaseMaintenance", manager);
  manager.CancelControl = close;

  const auto run = [&] {
    start.Disable();
    bar.Value("0");
    bar.Unhide();
    const auto progress = [&](std::size_t done, std::size_t total, const std::string& what) {
      bar.Value(std::to_string(total == 0 ? 100 : done * 100 / total));
      status = what + "...";
      window.Display();
    };
    const MaintenanceReport report = MaintainDataFiles(data, progress);
    bar.Hide();
    tables.rows = report.tables;
    list.Display();
    sound = report.ok() && !report.files.empty();
    status = MaintenanceSummary(report);
    window.Display();
    start.Enable();
    start_vx.Enable();
    window.Select(start_vx);
  };
  // Runs at once when nobody holds the folder; else waits for VX to have closed.
  const auto run_when_free = [&] {
    const std::vector<FolderUser> users = FolderUsers(data);
    if (users.empty()) {
      window.Timer(0);
      run();
      return;
    }
    if (waited++ < kWaitTicks) {
      status = "Waiting for " + Holder(users) + " to close the data folder...";
      window.Timer(kWaitTick);
    } else {
      window.Timer(0);
      status = Holder(users) + " still has the data folder open.  Close it, then press Start.";
      start.Enable();
    }
    window.Display();
  };

  manager.On(EVENT_OpenWindow, [&] {
    start.Disable();
    run_when_free();
  });
  manager.On(EVENT_Timer, run_when_free);
  manager.OnAccepted(start, [&] {
    if (const std::vector<FolderUser> users = FolderUsers(data); !users.empty()) {
      MESSAGE(Holder(users) +
                  " has the data folder open.  Close it before the data files are maintained.",
              std::string(kCaption), MessageIcon::Exclamation);
      return;
    }
    run();
  });
  manager.OnAccepted(start_vx, [&] {
    platform::ProcessRequest request;
    request.argv = {vx_program.string()};
    request.folder = data;
    const platform::StartResult started = launcher.Start(request);
    if (!started) {
      MESSAGE("Could not start " + vx_program.string() + ".", std::string(kCaption),
              MessageIcon::Exclamation);
      return;
    }
    launcher.Release(started.handle);
    manager.PostClose();
  });
  manager.Run();
  return sound;
}

}  // namespace vx
