#include "program/organiser/todo_items.h"

#include <algorithm>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"

namespace vx {

void StampToDoDone(TODO_RECORD& item) {
  item.CompletionDate = TODAY();
  item.CompletionTime = CLOCK();
}

void ToggleToDoDone(TODO_RECORD& item) {
  item.Done = item.Done != 0 ? 0 : 1;
  if (item.Done != 0) StampToDoDone(item);
}

std::int32_t NextToDoOriginalID() {
  const TODO_RECORD kept = TDO;
  const storage::FileState position = ACCESS_TODO->SaveFile();
  std::int32_t highest = 0;
  ACCESS_TODO->UseFile();
  ACCESS_TODO->Set();
  while (ACCESS_TODO->TryNext() == 0) highest = std::max(highest, TDO.OriginalID);
  ACCESS_TODO->RestoreFile(position);
  TDO = kept;
  return highest + 1;
}

std::string ToDoTaskMessage(const TODO_RECORD& item) {
  std::string message = CLIP(item.Notes.view()) + "\r\n";
  if (item.CompletionDate != 0) {
    message += "Completed " + FORMAT(item.CompletionDate, "@d17");
  } else {
    message += "Priority " + std::to_string(item.Priority);
  }
  message += "\r\n";
  if (!item.Resolution.blank())
    message += "Resolution:\r\n" + CLIP(item.Resolution.view()) + "\r\n";
  return message;
}

bool TodoToTask() {
  const auto task_form = MainProcedure("UpdateSchedule");
  if (!task_form) return false;
  SCH = SCHEDULE_RECORD{};
  SCH.Message = ToDoTaskMessage(TDO);
  SCH.Description = TDO.ToDo.clipped();  // the buffer cuts it to its 40 characters
  SCH.Category = TDO.Category.clipped();
  SCH.Date = TODAY() + 1;
  SCH.Time = CLOCK();
  GLO_PRIMETASKTYPE = "Display Message";
  SetCurrentRequest(InsertRecord);
  task_form();
  return true;
}

}  // namespace vx
