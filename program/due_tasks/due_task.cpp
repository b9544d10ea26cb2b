#include "program/due_tasks/due_task.h"

#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "program/common/external_message.h"
#include "program/common/play_alarm.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/check_clock_and_exit_codes.h"
#include "program/due_tasks/reschedule_all_tasks.h"
#include "program/due_tasks/run_task_program.h"
#include "program/recurrence/moments.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_services.h"
#include "program/recurrence/warning_offset.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/script_tables.h"
#include "program/script_engine/script_variables.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/server_connection.h"
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
    if (entry.BROWSESCHEDULETHREAD != except)
      POST(EVENT_RefreshSchedule, 0, entry.BROWSESCHEDULETHREAD);
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

bool CopyTaskScripts(std::int32_t from_id) {
  const std::int32_t to_id = SCH.ID;
  DeleteTaskScripts();
  bool copied = true;
  WithScriptSteps([&](ScriptSteps& steps) {
    std::vector<SCRIPTING_RECORD> rows;
    copied = steps
                 .ForEachStep(from_id,
                              [&](const SCRIPTING_RECORD& row) {
                                rows.push_back(row);
                                return true;
                              })
                 .ok();
    steps.BeginBatch();
    for (SCRIPTING_RECORD& row : rows) {
      row.ID = to_id;
      if (!steps.AddStep(row).ok()) copied = false;
    }
    steps.EndBatch();
  });
  return copied;
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
  if (USEEXTERNALMESSAGE != 0)
    TaskLog(Description() + " " + std::string(SCH.AlarmFile.clipped()), "Message");
  LaunchTaskMessage(frame,
                    TaskMessage{ExpandVariables(SCH.Description.clipped()),
                                ExpandVariables(SCH.Message.clipped()),
                                SCH.Alarm != 0 ? ExpandVariables(SCH.AlarmFile.clipped()) : ""});
}

void LaunchTaskMessage(DueTaskFrame& frame, const TaskMessage& message) {
  if (USEEXTERNALMESSAGE != 0 &&
      StartMessageProgram(message.title, message.text, message.alarm_file))
    return;
  if (THREADCOUNT >= kMessageThreadLimit) {
    MessageBoxRequest box;
    box.caption = message.title;
    box.text = message.text;
    CurrentTaskRoadServices().messages->Show(box);
    return;
  }
  // The globals stay filled for their other readers: FillMessageLink on the on-top road and the
  // bug report. The thread is handed the message as they hold it, cut to their widths.
  GLO_DESCRIPTION = message.title;
  GLO_MESSAGE = message.text;
  GLO_ALARMFILE = message.alarm_file;
  if (USEEXTERNALMESSAGE != 0 || USEMODALMESSAGE == 0) {
    frame.StartTaskMessageThread({decltype(GLO_DESCRIPTION)(message.title).str(),
                                  decltype(GLO_MESSAGE)(message.text).str(),
                                  decltype(GLO_ALARMFILE)(message.alarm_file).str()});
  } else {
    FillMessageLink();
    frame.ShowModalMessage();
  }
}

namespace {

// What storing a run wrote.
struct StoredRun {
  bool written = false;   // every write of it succeeded (the transaction decides whether it stays)
  bool finished = false;  // the task has no further run
};

// Moves the task in SCH on to its next run (or marks it done) and adds its history copy: the
// writes of the run, made between BeginWrites and EndWrites. SCH is left as the writes left it.
StoredRun StoreRun(const DueTaskState& state, DueTaskTable& table, bool skipped) {
  const std::int32_t starting_id = SCH.ID;
  const SavedMoments saved{SCH.Date, SCH.Time, SCH.AdvanceWarnDate, SCH.AdvanceWarnTime};
  const bool warning_offset = MakeWarningRelative();

  // A task enabled again after it was completed is judged by its rule alone.
  SCH.Completed = 0;
  if (SCH.Date < TODAY() && SCH.SkipIfMissed != 0) {
    ComputeNextRun(TODAY(), 0);
  } else {
    ComputeNextRun(TODAY(), CLOCK());
  }

  if (SCH.Completed != 0) {
    // Done in place; a task without history goes once it has started (its script is read
    // then), and is never found due again if that fails.
    MarkTaskDone(saved);
    return {table.Update() == 0, true};
  }

  SCH.SkipNextTime = 0;
  if (warning_offset) MakeWarningAbsolute();
  SCH.AdvanceWarned = 0;
  if (ApplyTaskExceptions() == 0 && table.Update() != 0) return {false, false};

  bool written = true;
  if (SCH.NoHistory == 0 && state.current.SkipNextTime == 0) {
    MarkTaskDone(saved);
    if (skipped) {
      SCH.Description = "(Skipped) " + Description();
      SCH.Skipped = 1;
    }
    CurrentScheduleServices().AddTaskCopy();
    if (SAVESCRIPTS != 0 && SCH.ID != starting_id) written = CopyTaskScripts(starting_id);
  }
  return {written, false};
}

// The run of task `due` was not stored: it waits to be tried again. The user hears of it when
// runs start failing, not again at every try nor for each task the same fault stops.
void KeepWaiting(DueTaskState& state, DueTaskFrame& frame, const SCHEDULE_RECORD& due, bool skipped,
                 const std::string& reason, bool decided = true) {
  const bool new_fault = state.waiting.empty();
  state.waiting[due.ID] = WaitingRun{due.Date, due.Time, skipped, ++state.tries, decided};
  // Nothing is logged: the log lies on the same disk, and its own box would stop the tick.
  if (!new_fault) return;
  const std::string description = due.Description.str();
  MessageBoxRequest box;
  box.caption = "Task Not Started";
  box.icon = MessageIcon::Exclamation;
  box.text = description + " is due, but it was not started: its run could not be stored (" +
             reason +
             ").\n\nIt is tried again every few seconds and starts once its run can be stored; "
             "tasks that can be stored run meanwhile.";
  frame.ShowNotice(box);
}

// Gives the occurrence's reservation back however the run ends.
class RunReservation {
 public:
  explicit RunReservation(DueTaskTable& table) : table_(table) {}
  ~RunReservation() { table_.ReleaseRun(); }
  RunReservation(const RunReservation&) = delete;
  RunReservation& operator=(const RunReservation&) = delete;

 private:
  DueTaskTable& table_;
};

}  // namespace

void RunDueTask(DueTaskState& state, DueTaskTable& table, DueTaskFrame& frame) {
  const SCHEDULE_RECORD due = SCH;
  // Nothing of the run happens before it is this program's: another program of the same user
  // that found it due too would sound its alarm and ask its questions twice. One that holds it
  // now leaves it waiting here, passed over by the check while other tasks run, unasked.
  const storage::ClaimResult reserved = table.ReserveRun();
  if (reserved == storage::ClaimResult::Taken) {
    const std::uint64_t tried = ++state.tries;
    state.waiting[due.ID] = WaitingRun{due.Date, due.Time, false, tried, false};
    return;
  }
  if (reserved == storage::ClaimResult::Failed) {
    KeepWaiting(state, frame, due, false, FILEERROR(), false);
    return;
  }
  const RunReservation reservation(table);
  const auto waiting = state.waiting.find(SCH.ID);
  // A run tried again keeps what was decided when it fell due: no second alarm or question.
  const bool retry = waiting != state.waiting.end() && waiting->second.date == SCH.Date &&
                     waiting->second.time == SCH.Time && waiting->second.decided;
  bool skipped = false;
  if (SCH.SkipNextTime == 0) {
    if (retry) {
      skipped = waiting->second.skipped;
    } else {
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
    }
    SCH.LastRunDate = TODAY();
    SCH.LastRunTime = CLOCK();
  }
  const SCHEDULE_RECORD performed = SCH;  // the task as it starts: at its due moment, stamped

  // The run is stored first, or the task does not start: started and not stored, it would run
  // again for the same moment at the next start of the program.
  table.BeginWrites();
  const storage::ClaimResult claim = table.ClaimRun();
  if (claim == storage::ClaimResult::Taken) {
    // Run by another program of the same user: nothing of this run is stored, and the task
    // is read again as that program moved it on.
    std::string ignored;
    table.EndWrites(false, ignored);
    state.waiting.erase(due.ID);
    table.FetchTask(due.ID);
    RefreshTaskBrowses(frame);
    return;
  }
  const StoredRun stored =
      claim == storage::ClaimResult::Ours ? StoreRun(state, table, skipped) : StoredRun{};
  std::string reason;
  if (table.EndWrites(stored.written, reason) != 0) {
    SCH = due;
    KeepWaiting(state, frame, due, skipped, reason);
    return;
  }
  state.waiting.erase(due.ID);

  const SCHEDULE_RECORD after = SCH;
  SCH = performed;
  if (performed.SkipNextTime == 0 && !skipped) {
    if (IsMessageTask()) LaunchTaskMessage(frame);
    if (IsProgramTask()) RunTaskProgram(DueTaskProgram(SCH.ID, SCH.Command.str(), SCH.Path.str()));
  }
  if (stored.finished) {
    // What a finished task leaves goes once it has started, its script queued. A failure here
    // is reported and leaves the task done and disabled, never due again.
    if (SCH.NoHistory != 0) {
      table.DeleteTask();
    } else if (SAVESCRIPTS == 0) {
      DeleteTaskScripts();
    }
    return;
  }
  SCH = after;
  RefreshTaskBrowses(frame);
}

namespace {

enum class Found { Task, None, Error };

bool IsDue() {
  std::int32_t date = SCH.Date;
  std::int32_t time = SCH.Time;
  NormalizeDateTime(date, time);
  return CompareDateTimeMinutes(TODAY(), CLOCK(), date, time) >= 0;
}

// The run of the task in SCH is waiting, for the moment the task still has.
bool IsWaiting(const DueTaskState& state) {
  const auto it = state.waiting.find(SCH.ID);
  return it != state.waiting.end() && it->second.date == SCH.Date && it->second.time == SCH.Time;
}

// Reads on to the next task that can be performed: enabled, with a date or a time, and not
// waiting for its run to be stored. None at the end of the key, at the disabled tasks, or after
// the read limit; Error when the table could not be read (the thread's last file error says
// why). The waiting tasks passed on the way are weighed for a try: `retry` receives the one
// tried longest ago.
Found FindNextTask(DueTaskState& state, DueTaskTable& table, std::int32_t& retry) {
  retry = 0;
  // Tasks without date and time come first in the key and are never performed. Passed one by
  // one, each cost a read, and a thousand of them hid every task behind them: the walk starts
  // past them.
  if (table.StartDateEnabledWalk() != 0) return Found::Error;
  std::uint64_t oldest = 0;
  std::map<std::int32_t, WaitingRun> met;
  Found found = Found::None;
  for (int reads = 0; reads < kCheckReadLimit; ++reads) {
    const int code = table.Next();
    if (code != 0 && code != storage::kNoRecord) return Found::Error;
    if (code != 0 || SCH.Disabled != 0) break;
    if (SCH.Date == 0 && SCH.Time == 0) continue;
    if (!IsWaiting(state)) {
      found = Found::Task;
      break;
    }
    const WaitingRun& run = state.waiting.at(SCH.ID);
    met.emplace(SCH.ID, run);
    if (retry == 0 || run.tried < oldest) {
      retry = SCH.ID;
      oldest = run.tried;
    }
  }
  // Every due task was seen: a waiting run not among them is no longer due as it was (its task
  // was changed, switched off or removed) and waits no more.
  if (found == Found::None || !IsDue()) state.waiting = std::move(met);
  // Never take a record that was passed over as the task: it would run.
  return found;
}

// A clock set back leaves the next runs where the later clock put them: a task every five
// minutes would not run again for as long as the clock went back. Each task still to come is
// re-dated to its first regular occurrence after now, its advance warning kept at the same
// distance; the writes are one transaction. Tasks already due stay due.
void RedateForEarlierClock(DueTaskTable& table, std::int32_t today, std::int32_t now) {
  std::vector<std::int32_t> later;
  if (table.StartDateEnabledWalk() != 0) return;
  while (table.Next() == 0 && SCH.Disabled == 0) {
    if (CompareDateTime(SCH.Date, SCH.Time, today, now) > 0) later.push_back(SCH.ID);
  }
  int moved = 0;
  bool written = true;
  table.BeginWrites();
  for (const std::int32_t id : later) {
    if (table.FetchTask(id) != 0) continue;
    const std::int32_t date = SCH.Date;
    const std::int32_t time = SCH.Time;
    const bool warning_offset = MakeWarningRelative();
    if (!RedateTask(today, now) || (SCH.Date == date && SCH.Time == time)) continue;
    if (warning_offset) MakeWarningAbsolute();
    SCH.AdvanceWarned = 0;
    if (table.Update() != 0) {
      written = false;
      break;
    }
    ++moved;
  }
  std::string reason;
  if (table.EndWrites(written, reason) != 0) {
    TaskLog("Tasks not re-dated: " + reason, "Clock Set Back");
  } else if (moved > 0) {
    TaskLog("Tasks re-dated: " + std::to_string(moved), "Clock Set Back");
  }
}

// The clock as the road sees it before it looks for a due task.
void WatchClock(DueTaskState& state, DueTaskTable& table) {
  // A forward jump is warned of, and the backup started, before any task it made overdue runs.
  CheckClockDate();
  const std::int32_t today = TODAY();
  const std::int32_t now = CLOCK();
  // Set back by more than a minute (a small correction of the clock moves nothing).
  if (state.seen_date != 0 &&
      CompareDateTime(today, now + TIME_MINUTE, state.seen_date, state.seen_time) < 0) {
    RedateForEarlierClock(table, today, now);
  }
  state.seen_date = today;
  state.seen_time = now;
}

// The check could not read the tasks: the bar and the tray say so (never that nothing is
// pending), and the user is told once, until a check reads again, why and what mends it. A
// damaged database is mended by the maintenance program, which is offered there and then.
void TellTasksUnreadable(DueTaskState& state, DueTaskFrame& frame) {
  // A database server that does not answer stops the scheduler until it does: no task can be
  // found due, none is lost, and the next check that reads goes on by itself.
  if (ERRORCODE() == storage::kDriverError && FILEERRORCODE() == storage::kServerUnreachable) {
    frame.SetStatusText("Inactive: the database server cannot be reached",
                        ScriptQueue.Records() == 0);
    frame.SetTrayTip(std::string(PRODUCTNAME.clipped()) +
                     " - inactive: the database server cannot be reached");
    if (state.unreadable_told) return;
    state.unreadable_told = true;
    MessageBoxRequest box;
    box.icon = MessageIcon::Exclamation;
    box.caption = "Database Server Not Reachable";
    box.text =
        "The tasks are kept on a database server, which cannot be reached: " + CLIP(FILEERROR()) +
        ".\n\nThe scheduler is inactive until the server answers again; then it goes on "
        "by itself, and tasks that fell due meanwhile are run as after any pause.";
    frame.ShowNotice(box);
    return;
  }
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
    box.text =
        "The task list in " + file + " is damaged: " + error +
        ".  No task can run until it is mended.\n\nThe maintenance program mends it: it checks "
        "the database and rebuilds its keys.  Varnodex closes while it works and can be started "
        "again from it.  If it cannot mend the database, restore the latest backup (File, "
        "Backup/Restore).\n\nStart the maintenance program now?";
    box.buttons = BUTTON_YES | BUTTON_NO;
    box.default_button = BUTTON_NO;
    if (CurrentTaskRoadServices().messages->Show(box) == BUTTON_YES) frame.StartMaintenance();
    return;
  }
  // Nothing to answer: the tick goes on while it is open, and runs the tasks once they read.
  box.caption = "Tasks Cannot Be Read";
  box.text = "The tasks cannot be read from " + file + ": " + error +
             ".  No task runs until they can be read.";
  frame.ShowNotice(box);
}

}  // namespace

void CheckNextTask(DueTaskState& state, DueTaskTable& table, DueTaskFrame& frame) {
  WatchClock(state, table);
  std::int32_t retry = 0;
  Found found = FindNextTask(state, table, retry);
  if (found == Found::Error) {
    TellTasksUnreadable(state, frame);
    return;
  }
  state.unreadable_told = false;
  // A waiting run is tried again when no other task is due, the one tried longest ago first.
  if (retry != 0 && (found == Found::None || !IsDue())) {
    if (table.FetchTask(retry) != 0) {
      state.waiting.erase(retry);
      return;
    }
    found = Found::Task;
  }
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
  // The bar and the tip say when the task is due: its own next run, never the clock's
  // moment, which the bar shows in zones of its own.
  const std::string due =
      ", due " + CurrentScheduleServices().FormatDate(SCH.Date) + " " + FORMAT(SCH.Time, "@T7");
  frame.SetStatusText(std::string(CutUtf8("Next: " + Description(), 40)) + due,
                      ScriptQueue.Records() == 0);
  frame.SetTrayTip(std::string(PRODUCTNAME.clipped()) + " - " + Description() + due);
  state.current = SCH;
  if (CompareDateTimeMinutes(TODAY(), CLOCK(), SCH.Date, SCH.Time) >= 0) {
    RunDueTask(state, table, frame);
    RefreshTaskBrowses(frame);
  }
}

}  // namespace vx
