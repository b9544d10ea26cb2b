#include "program/schedule/task_defaults.h"

#include <cctype>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_services.h"
#include "runtime/dates.h"

namespace vx {
namespace {

bool IsNotApplicable(std::string_view command) {
  std::string upper(command);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == "N/A";
}

std::string DefaultDescription(const SCHEDULE_RECORD& task) {
  const std::string message(task.Message.clipped());
  if (task.TaskType == "None") return "Reminder: " + message;
  if (task.TaskType == "Display Message") return "Message: " + message;
  if (task.TaskType == "Run Program") {
    // A program task whose command is "N/A" only runs its script.
    if (IsNotApplicable(task.Command.clipped()))
      return "Script: " + CurrentScheduleServices().FormatDate(TODAY());
    return "Run: " + std::string(task.Command.clipped());
  }
  if (task.TaskType == "Hot Key") return "Hot Key " + std::to_string(task.ID);
  return "Message/Run Program";
}

}  // namespace

void FillTaskDefaults() {
  SCHEDULE_RECORD& task = SCH;
  if (task.Command.blank() &&
      (task.TaskType == "Run Program" || task.TaskType == "Both" || task.TaskType == "Hot Key")) {
    task.Command = "N/A";
  }
  if (task.Description.blank()) task.Description = DefaultDescription(task);
  if (task.Category.blank()) task.Category = "General";
  ApplyTaskExceptions();
  task.NetworkUser = USERID.clipped();
  task.LastChangeDate = TODAY();
  task.LastChangeTime = CLOCK();
  if (task.OriginalID == 0) task.OriginalID = task.ID;
}

}  // namespace vx
