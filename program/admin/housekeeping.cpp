#include "program/admin/admin_windows.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/relation_manager.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/admin/housekeeping_tasks.h"
#include "program/admin/password_validation.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/reschedule_all_tasks.h"
#include "program/script_engine/script_queue.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/ini_file.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr const char* kTitle = "Housekeeping";

bool Confirmed(std::string_view question) {
  return MESSAGE(question, kTitle, MessageIcon::Question, BUTTON_YES | BUTTON_NO, BUTTON_NO) ==
         BUTTON_YES;
}

// "Disabled tasks removed." when every record went; otherwise what could not be removed, and why.
void Report(const HousekeepingResult& result, std::string_view done, std::string_view what) {
  if (result.failed == 0) {
    MESSAGE(done, kTitle, MessageIcon::Information);
    return;
  }
  MESSAGE(std::to_string(result.failed) + " " + std::string(what) + " could not be removed (" +
              std::to_string(result.removed) + " removed).\r\n\r\nError:  " + result.error,
          kTitle, MessageIcon::Exclamation);
}

class HousekeepingWindow final : public WindowManager {
 public:
  explicit HousekeepingWindow(Window& window) : WindowManager(window) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;

 private:
  void RemovePositions();

  COLOURTABCLASS tabs_;
  std::vector<RelationManager*> opened_;  // the tables this window opened, closed by Kill
  int disabled_ = 0, completed_ = 0, todo_ = 0, redate_ = 0, positions_ = 0, scripts_ = 0,
      assign_ = 0;
};

void HousekeepingWindow::Build() {
  Window& w = window();
  Control& tab = w.Sheet().Tab("Housekeeping");
  Control& database = tab.Group("Database Housekeeping");
  database.String("If a service uses this same database, stop it from the system's service");
  database.String("manager before any of these operations.");
  Control& database_buttons = database.Grid(2);
  disabled_ = database_buttons.Button("Clear all disabled tasks");
  completed_ = database_buttons.Button("Clear all completed tasks");
  todo_ = database_buttons.Button("Clear To Do list");
  redate_ = database_buttons.Button("Reschedule All Tasks");
  // Every group's buttons in the same two columns.
  Control& face = tab.Group("Interface Housekeeping").Arrange(Arrangement::Grid, 2);
  positions_ = face.Button("Reset saved window settings");
  scripts_ = face.Button("Clear current script queue");
  Control& groups = tab.Group("Groups Housekeeping").Arrange(Arrangement::Grid, 2);
  assign_ = groups.Button("Assign current user to all tasks");
  groups.String("");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
}

Level HousekeepingWindow::Init() {
  WindowManager::Init();
  for (RelationManager* table : {RELATE_CONFIGURATION, RELATE_SCHEDULE, RELATE_TODO}) {
    if (table->Open() == 0) opened_.push_back(table);
  }
  Open();
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs_.COLOURTABS();
  return Level_Benign;
}

Level HousekeepingWindow::Kill() {
  tabs_.KILL();
  WindowManager::Kill();
  for (RelationManager* table : opened_) table->Close();
  return Level_Benign;
}

void HousekeepingWindow::RemovePositions() {
  // The windows open now write their places again when they close.
  const std::filesystem::path file = ResolveIniPath(".\\POSITION.INI");
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (ec) {
    MESSAGE("The saved window positions could not be removed.\r\n\r\nError:  " + ec.message() +
                "  File: " + file.string(),
            kTitle, MessageIcon::Exclamation);
    return;
  }
  MESSAGE("All saved window positions have been removed", kTitle, MessageIcon::Information);
}

Level HousekeepingWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == disabled_) {
    if (Confirmed("Remove disabled tasks?")) {
      Report(RemoveFlaggedTasks(TaskFlag::Disabled), "Disabled tasks removed.", "disabled tasks");
    }
  } else if (control == completed_) {
    if (Confirmed("Remove completed tasks?")) {
      Report(RemoveFlaggedTasks(TaskFlag::Completed), "Completed tasks removed.",
             "completed tasks");
    }
  } else if (control == todo_) {
    if (Confirmed("Clear To Do list?"))
      Report(ClearToDoList(), "To Do list removed.", "to-do items");
  } else if (control == redate_) {
    Update();
    RescheduleAllTasks_GetDate();
    Reset(true);
  } else if (control == positions_) {
    if (Confirmed("Reset saved window settings?")) RemovePositions();
  } else if (control == scripts_) {
    if (Confirmed("Remove active scripts?")) {
      ScriptQueue.Free();
      MESSAGE("All active scripts have been removed", kTitle, MessageIcon::Information);
    }
  } else if (control == assign_) {
    Update();
    Process_AssignCurrentUserToAllTasks();
    Reset(true);
  }
  return WindowManager::TakeAccepted();
}

}  // namespace

void Housekeeping() {
  if (fPasswordValidation() == 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  {
    Window window(kTitle);
    HousekeepingWindow manager(window);
    manager.Build();
    const WindowProcedureScope scope("Housekeeping", manager);
    manager.Run();
  }
  // The open task lists show what was removed or re-dated.
  RefreshTaskLists();
}

}  // namespace vx
