#include "program/organiser/message_buttons.h"

#include <cstdint>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "framework/file_manager.h"
#include "program/common/numbered_warnings.h"
#include "program/recurrence/moments.h"
#include "program/recurrence/schedule_services.h"
#include "runtime/dates.h"
#include "runtime/storage/file.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::int32_t kHundredthsPerMinute = 6000;
constexpr std::int32_t kDefaultSnoozeMinutes = 10;

}  // namespace

void SnoozeMessage() {
  // The snooze task is made in this thread's SCHEDULE buffer. On Main's thread the on-top
  // window opens while a due task is being run from that buffer and is written back after the
  // window closes: the task and the file's current record are kept for it.
  storage::File& schedule = storage::File::For(SCHEDULE_TABLE());
  const storage::FileState running = schedule.GetState();
  SCH = SCHEDULE_RECORD{};
  SCH.Message = ML.Message.clipped();
  SCH.TaskType = "Display Message";
  SCH.Category = "Snooze";
  SCH.Description = ML.Title.clipped();
  SCH.ScheduleType = "Once";
  const std::int32_t minutes = SNOOZEINTERVAL != 0 ? SNOOZEINTERVAL : kDefaultSnoozeMinutes;
  std::int64_t date = TODAY();
  std::int64_t time = CLOCK() + static_cast<std::int64_t>(minutes) * kHundredthsPerMinute;
  NormalizeDateTime(date, time);
  SCH.Date = static_cast<std::int32_t>(date);
  SCH.Time = static_cast<std::int32_t>(time);
  SCH.SkipIfMissed = 1;
  SCH.AlarmFile = ML.AlarmFile.clipped();
  if (!SCH.AlarmFile.blank()) SCH.Alarm = 1;
  CurrentScheduleServices().AddTaskCopy();
  schedule.RestoreState(running);
}

void AddMessageToToDo() {
  const std::string title(ML.Title.clipped());
  if (ACCESS_TODO->TryOpen() != 0) {
    MESSAGE("Not added to the To Do List:\r" + title + "\r" + WarningErrorText(), "Error",
            MessageIcon::Exclamation);
    return;
  }
  // A fresh record: a buffer left over from an earlier item would lend it its number, its
  // resolution and its dates.
  ACCESS_TODO->PrimeRecord();
  TDO.Category = "General";
  TDO.Notes = ML.Message.clipped();
  TDO.ToDo = ML.Title.clipped();
  TDO.Priority = 5;
  TDO.Done = 0;
  const bool added = ACCESS_TODO->TryInsert() == 0;
  const std::string why = added ? std::string() : WarningErrorText();
  ACCESS_TODO->Close();
  if (!added) {
    MESSAGE("Not added to the To Do List:\r" + title + "\r" + why, "Error",
            MessageIcon::Exclamation);
    return;
  }
  MESSAGE("Added to To Do List:\r" + title, "Saved");
}

}  // namespace vx
