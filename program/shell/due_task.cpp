#include "program/shell/due_task.h"

#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "program/schedule/recurrence/moments.h"
#include "program/schedule/recurrence/recurrence.h"
#include "program/schedule/recurrence/schedule_services.h"
#include "program/scripts/script_queue.h"
#include "program/scripts/script_tables.h"
#include "program/scripts/script_variables.h"
#include "program/shell/external_message.h"
#include "program/shell/play_alarm.h"
#include "program/shell/run_task_program.h"
#include "program/shell/task_log.h"
#include "program/shell/task_road_services.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/stored_name.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"

namespace vx {
namespace {

constexpr std::int32_t kOneDay = 8640000;
constexpr std::int32_t kTenMinutes = 60000;
// Beyond this many message threads, messages are shown in a plain box on Main's thread.
constexpr int kMessageThreadLimit = 60;
// The most records one check reads; tasks without date and time are passed without a read.
constexpr int kCheckReadLimit = 1000;

std::string Description() { return SCH.Description.str(); }

bool AskYesNo(std::string text, std::string caption) {
  MessageBoxRequest box;
  box.caption = std::move(caption);
  box.text = std::move(text);
  box.icon = MessageIcon::Exclamation;
  box.buttons = BUTTON_YES | BUTTON_NO;
  box.default_button = BUTTON_NO;
  return CurrentTaskRoadServices().messages->Show(box) == BUTTON_YES;
}

// Runs fn on the road's script rows, or on the SCRIPTING table opened for the call.
template <class Fn>
void WithScriptSteps(Fn fn) {
  if (ScriptSteps* given = CurrentTaskRoadServices().steps) {
    fn(*given);
  } else {
    ScriptingTableSteps table;
    fn(table);
  }
}

void RestoreFrameForTask(DueTaskFrame& frame) {
  const bool own_windows = (USEMODALMESSAGE == 0 && USEEXTERNALMESSAGE == 0) || MAXIMIZEONRUN != 0;
  if (own_windows && (IsMessageTask() || MAXIMIZEONRUN != 0)) frame.RestoreFrame();
}

void SoundAlarm() {
  if (SCH.Alarm != 0) PlayAlarm(SCH.AlarmFile.clipped());
}

// The task's due moment and advance warning as they were before it was moved on.
struct SavedMoments {
  std::int32_t date, time, warn_date, warn_time;
};

void MarkTaskDone(const SavedMoments& saved) {
  SCH.Completed = 1;
  SCH.Disabled = 1;
  SCH.Date = saved.date;
  SCH.Time = saved.time;
  SCH.AdvanceWarnDate = saved.warn_date;
  SCH.AdvanceWarnTime = saved.warn_time;
}

}  // namespace

bool IsMessageTask() { return SCH.TaskType == "Display Message" || SCH.TaskType == "Both"; }
bool IsProgramTask() { return SCH.TaskType == "Run Program" || SCH.TaskType == "Both"; }

void RefreshTaskLists(long except) {
  for (const BROWSESCHEDULETHREADQUEUE_RECORD& entry : BROWSESCHEDULETHREADQUEUE) {
    if (entry.BROWSESCHEDULETHREAD != except) POST(EVENT_RefreshSchedule, 0, entry.BROWSESCHEDULETHREAD);
  }
}

void RefreshTaskBrowses(DueTaskFrame& frame) {
  for (const BROWSESCHEDULETHREADQUEUE_RECORD& entry : BROWSESCHEDULETHREADQUEUE)
    frame.PostEvent(EVENT_RefreshSchedule, entry.BROWSESCHEDULETHREAD);
}

void DeleteTaskScripts() {
  const std::int32_t id = SCH.ID;
  WithScriptSteps([id](ScriptSteps& steps) {
    steps.BeginBatch();
    steps.DeleteTaskSteps(id);
    steps.EndBatch();
  });
}

void CopyTaskScripts(std::int32_t from_id) {
  const std::int32_t to_id = SCH.ID;
  DeleteTaskScripts();
  WithScriptSteps([&](ScriptSteps& steps) {
    std::vector<SCRIPTING_RECORD> rows;
    steps.ForEachStep(from_id, [&](const SCRIPTING_RECORD& row) {
      rows.push_back(row);
      return true;
    });
    steps.BeginBatch();
    for (SCRIPTING_RECORD& row : rows) {
      row.ID = to_id;
      steps.AddStep(row);
    }
    steps.EndBatch();
  });
}

bool AskMissedOrConfirm() {
  bool missed = false;
  if (SCH.Warn != 0 && SCH.TaskType != "Display Message") {
    if (SKIPIFDAYSPASSED != 0) {
      missed = CompareDateTimeMinutes(TODAY(), CLOCK(), SCH.Date + SKIPIFDAYSPASSED, SCH.Time) > 0;
    } else {
      missed = TODAY() > SCH.Date + 1;
    }
  }
  if (missed) {
    if (!AskYesNo(Description() + " was not run.  Run it now?", "Missed Task")) {
      TaskLog(Description(), "Missed task skipped");
      return true;
    }
  } else if (SCH.UserSkip != 0) {
    if (!AskYesNo(Description() + " is due to run.  Run it now?", "Confirm Task")) {
      TaskLog(Description(), "Task skipped");
      return true;
    }
  }
  return false;
}

void LaunchTaskMessage(DueTaskFrame& frame) {
  if (USEEXTERNALMESSAGE != 0) TaskLog(Description() + " " + std::string(SCH.AlarmFile.clipped()), "Message");
  LaunchTaskMessage(frame, TaskMessage{ExpandVariables(SCH.Description.clipped()), ExpandVariables(SCH.Message.clipped()),
                                       SCH.Alarm != 0 ? ExpandVariables(SCH.AlarmFile.clipped()) : ""});
}

void LaunchTaskMessage(DueTaskFrame& frame, const TaskMessage& message) {
  if (USEEXTERNALMESSAGE != 0 && StartMessageProgram(message.title, message.text, message.alarm_file)) return;
  if (THREADCOUNT >= kMessageThreadLimit) {
    MessageBoxRequest box;
    box.caption = message.title;
    box.text = message.text;
    CurrentTaskRoadServices().messages->Show(box);
    return;
  }
  GLO_DESCRIPTION = message.title;
  GLO_MESSAGE = message.text;
  GLO_ALARMFILE = message.alarm_file;
  if (USEEXTERNALMESSAGE != 0 || USEMODALMESSAGE == 0) {
    frame.StartTaskMessageThread();
  } else {
    FillMessageLink();
    frame.ShowModalMessage();
  }
}

void RunDueTask(DueTaskState& state, DueTaskTable& table, DueTaskFrame& frame) {
  const std::int32_t starting_id = SCH.ID;
  bool skipped = false;
  if (SCH.SkipNextTime == 0) {
    RestoreFrameForTask(frame);
    SoundAlarm();  // before the skip rules: a task that is then skipped still sounds
    if (CompareDateTime(TODAY(), CLOCK() - kTenMinutes, SCH.Date, SCH.Time) > 0 &&
        SCH.SkipIfMissed != 0) {
      TaskLog(Description(), "Overdue task skipped");
      skipped = true;
    } else if (SCH.SkipIfScriptActive != 0 && ScriptQueue.Records() > 0) {
      TaskLog(Description(), "Task skipped during script");
      skipped = true;
    } else {
      skipped = AskMissedOrConfirm();
    }
    SCH.LastRunDate = TODAY();
    SCH.LastRunTime = CLOCK();
    if (!skipped) {
      if (IsMessageTask()) LaunchTaskMessage(frame);
      if (IsProgramTask())
        RunTaskProgram(DueTaskProgram(SCH.ID, SCH.Command.str(), SCH.Path.str()));
    }
  }

  // The advance warning travels with the due moment as an offset from it.
  const SavedMoments saved{SCH.Date, SCH.Time, SCH.AdvanceWarnDate, SCH.AdvanceWarnTime};
  bool warning_offset = false;
  if (SCH.AdvanceWarnDate != 0) {
    SCH.AdvanceWarnDate -= SCH.Date;
    warning_offset = true;
  }
  if (SCH.AdvanceWarnTime != 0) {
    SCH.AdvanceWarnTime -= SCH.Time;
    warning_offset = true;
  }

  // A task enabled again after it was completed is judged by its rule alone.
  SCH.Completed = 0;
  if (SCH.Date < TODAY() && SCH.SkipIfMissed != 0) {
    ComputeNextRun(TODAY(), 0);
  } else {
    ComputeNextRun(TODAY(), CLOCK());
  }

  if (SCH.Completed != 0) {
    if (SCH.NoHistory != 0) {
      if (table.DeleteTask() != 0) state.stuck.insert(starting_id);
    } else {
      MarkTaskDone(saved);
      if (table.Update() != 0) state.stuck.insert(starting_id);
      if (SAVESCRIPTS == 0) DeleteTaskScripts();
    }
    return;
  }

  SCH.SkipNextTime = 0;
  if (warning_offset) {
    SCH.AdvanceWarnDate += SCH.Date;
    SCH.AdvanceWarnTime += SCH.Time;
  }
  SCH.AdvanceWarned = 0;
  if (ApplyTaskExceptions() == 0 && table.Update() != 0) {
    // Left at its old moment, the task would run again at every tick.
    state.stuck.insert(starting_id);
    return;
  }

  if (SCH.NoHistory == 0 && state.current.SkipNextTime == 0) {
    MarkTaskDone(saved);
    if (skipped) {
      SCH.Description = "(Skipped) " + Description();
      SCH.Skipped = 1;
    }
    CurrentScheduleServices().AddTaskCopy();
    if (SAVESCRIPTS != 0 && SCH.ID != starting_id) CopyTaskScripts(starting_id);
  }
  RefreshTaskBrowses(frame);
}

namespace {

enum class Found { Task, None, Error };

// Reads on to the next task that can be performed: enabled, with a date or a time, and not
// stuck. None at the end of the key, at the disabled tasks, or after the read limit; Error when
// the table could not be read (the thread's last file error says why).
Found FindNextTask(const DueTaskState& state, DueTaskTable& table) {
  // Tasks without date and time come first in the key and are never performed. Passed one by
  // one, each cost a read, and a thousand of them hid every task behind them: the walk starts
  // past them.
  if (table.StartDateEnabledWalk() != 0) return Found::Error;
  for (int reads = 0; reads < kCheckReadLimit; ++reads) {
    const int code = table.Next();
    if (code == storage::kNoRecord) return Found::None;
    if (code != 0) return Found::Error;
    if (SCH.Disabled != 0) return Found::None;
    if ((SCH.Date != 0 || SCH.Time != 0) && !state.stuck.contains(SCH.ID)) return Found::Task;
  }
  // Never take a record that was passed over as the task: it would run.
  return Found::None;
}

// The check could not read the tasks: the bar and the tray say so (never that nothing is
// pending), and the user is told once, until a check reads again, why and what mends it. A
// damaged database is mended by the maintenance program, which is offered there and then.
void TellTasksUnreadable(DueTaskState& state, DueTaskFrame& frame) {
  frame.SetStatusText("Tasks cannot be read", ScriptQueue.Records() == 0);
  frame.SetTrayTip(std::string(PRODUCTNAME.clipped()) + " - tasks cannot be read");
  if (state.unreadable_told) return;
  state.unreadable_told = true;

  const bool driver = ERRORCODE() == storage::kDriverError;
  const std::string error = CLIP(driver ? FILEERROR() : ERROR()) + " (" +
                            std::to_string(driver ? FILEERRORCODE() : ERRORCODE()) + ")";
  const std::string file = storage::FileOnDisk(ERRORFILE());
  MessageBoxRequest box;
  box.icon = MessageIcon::Exclamation;
  if (driver && storage::MeansDamage(FILEERRORCODE())) {
    box.caption = "Database Damaged";
    box.text = "The task list in " + file + " is damaged: " + error +
               ".  No task can run until it is mended.\n\nThe maintenance program mends it: it checks "
               "the database and rebuilds its keys.  Varnodex closes while it works and can be started "
               "again from it.  If it cannot mend the database, restore the latest backup (File, "
               "Backup/Restore).\n\nStart the maintenance program now?";
    box.buttons = BUTTON_YES | BUTTON_NO;
    box.default_button = BUTTON_NO;
    if (CurrentTaskRoadServices().messages->Show(box) == BUTTON_YES) frame.StartMaintenance();
    return;
  }
  box.caption = "Tasks Cannot Be Read";
  box.text = "The tasks cannot be read from " + file + ": " + error +
             ".  No task runs until they can be read.";
  CurrentTaskRoadServices().messages->Show(box);
}

}  // namespace

void CheckNextTask(DueTaskState& state, DueTaskTable& table, DueTaskFrame& frame) {
  const Found found = FindNextTask(state, table);
  if (found == Found::Error) {
    TellTasksUnreadable(state, frame);
    return;
  }
  state.unreadable_told = false;
  if (found == Found::None) {
    // Shown in the bar as the next task is, or the bar would go on naming a task already run.
    frame.SetStatusText("No tasks pending", ScriptQueue.Records() == 0);
    frame.SetTrayTip(PRODUCTNAME.view());
    return;
  }
  if (SCH.Time > kOneDay) {
    NormalizeDateTime(SCH.Date, SCH.Time);
    if (table.TryUpdate() == 0) return;  // looked at again at the next phase 3
  }
  const std::string status = std::string(CutUtf8("Next: " + Description(), 40));
  frame.SetStatusText(status, ScriptQueue.Records() == 0);
  frame.SetTrayTip(std::string(PRODUCTNAME.clipped()) + " - " + Description() + " " +
                   CurrentScheduleServices().FormatDate(SCH.Date) + " " + FORMAT(SCH.Time, "@T7"));
  state.current = SCH;
  if (CompareDateTimeMinutes(TODAY(), CLOCK(), SCH.Date, SCH.Time) >= 0) {
    RunDueTask(state, table, frame);
    RefreshTaskBrowses(frame);
  }
}

}  // namespace vx
