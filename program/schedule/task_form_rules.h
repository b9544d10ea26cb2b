// The rules of the task form that do not need its window: how a new task is primed, the checks
// of its dates and of its advance warning, what a first run already past becomes on saving, which
// schedule checks "Month End" greys, where the alarm's sound file comes from, the copy of a task's
// script, the skip moved onto the source of a special event, and the per-user rows of a task. All
// work on the task in the SCHEDULE buffer (SCH). The script wizard edits a task too and keeps to
// the same rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/dictionary/schedule_table.h"

namespace vx {

// The task types a form offers, as stored in SCH.TaskType.
inline constexpr std::string_view kRunProgram = "Run Program";
inline constexpr std::string_view kDisplayMessage = "Display Message";
inline constexpr std::string_view kBoth = "Both";
inline constexpr std::string_view kReminder = "None";
// A reminder has no start time of its own: it falls due at the end of its day.
inline constexpr std::int32_t kReminderTime = 8639500;

// Primes a new task that was not primed by its caller: `task_type` (blank: "Both"), today or
// the date in GLO_DATETOUSE, five minutes from now, Monday to Friday, the last category used
// for the type (else the first category there is), and the run flags of a new task.
void PrimeNewTask(std::string_view task_type);
// A new task's first run: five minutes after the clock on `date` (today when 0), carried into
// the next day by a clock late in the evening.
void PrimeStartMoment(std::int32_t date = 0);

// Stores the new task in the buffer at once as a disabled placeholder (so that the scheduler
// passes over it while its window is open, and rows made meanwhile can name its SCH.ID), then
// clears SCH.Disabled in the buffer; says so when no id could be given.
void ReserveNewTask();

// The category last used for a task type (settings key "VXCAT" + type), else the first stored
// category; blank when there is none.
std::string LastCategoryFor(std::string_view task_type);
void RememberCategory();

// The categories to offer, in name order.
std::vector<std::string> CategoryNames();
// Adds `category` to CATEGORIES unless it is there (the table open on this thread).
void EnsureCategory(std::string_view category);

// The message copy mode shows for the ids (blank when the ids allow the copy).
std::string CopyIdsMessage(std::int32_t original_id, std::int32_t new_id);

// Copies the script of task from_id onto task to_id in one transaction: when any step cannot be
// added (the failure is shown), nothing of the copy is kept. Answers whether the copy was kept
// (true also when there was nothing to copy).
bool CopyTaskScript(std::int32_t from_id, std::int32_t to_id);

// True when the task's end moment is set and lies before its start: an end date before the
// start date, or on the start date with an end time before the start time.
bool EndBeforeStart(const SCHEDULE_RECORD& task);
// True when the advance warning lies after the task's own moment.
bool WarningAfterTask(const SCHEDULE_RECORD& task);
// Sets the advance warning from the program INI's default ([Warning] Active, Date, Time);
// answers whether the INI asked for one.
bool ApplyDefaultWarning();

// Shows "Date given does not match schedule type." when SCH.Date is set and does not fit the
// task's schedule (the date stays).
void WarnIfDateMisfits();

// The advance warning as a form last showed it: a warning that changed from it has not been
// given yet.
struct ShownWarning {
  std::int32_t date = 0;
  std::int32_t time = 0;
  void Take();  // the buffer's warning is the one shown now
};
// An accepted advance warning: a changed one clears SCH.AdvanceWarned; one after the task is
// refused with its message and, when `clear_late`, cleared. It is then the warning shown.
void AcceptWarning(ShownWarning& shown, bool clear_late);

// Whether the two records hold the same schedule: next run, recurrence rule and end moment. A
// task whose schedule was not changed in its form keeps its stored next run, even a past one.
bool SameSchedule(const SCHEDULE_RECORD& a, const SCHEDULE_RECORD& b);

// A task saved with its next run already past (before the current minute) would run at once.
// A repeating task starts at its next occurrence after now instead, its advance warning kept as
// far ahead of it; a one-time task (and a special event, `one_time`) asks "The date and time
// given have already passed. Run the task now?": Yes makes it due now, No keeps it as typed.
// Answers false when the task is not to be saved: the user said No, or a repeating task ends
// before its next occurrence (said in a message; the task is left as typed). A task without a
// date or time is never due and is left alone.
bool SettlePastStart(bool one_time);

// "Month End" stands alone: while it is set, the week-of-month checks are greyed, and so are the
// weekday checks of a "Day of Month" schedule (another schedule uses them without it).
bool WeekChecksFree(const SCHEDULE_RECORD& task);
bool DayChecksFree(const SCHEDULE_RECORD& task);

// The alarm's sound file. Switching the alarm on fills a blank file from the program INI
// ([Settings] LastWAVFile) and writes a set one back there; the file entry reaches the same
// name through the settings store. RecallAlarmFile fills a blank file from the store and
// answers whether it did; otherwise, as RememberAlarmFile, it stores a set file there.
void AlarmFileFromIni();
void RememberAlarmFile();
bool RecallAlarmFile();
// The file dialog for the sound, starting in the folder last used for sounds ([Defaults]
// WAVPath, written back); the program's own current folder is left alone (other threads rely
// on it). It lists "*.wav" and "*.WAV" alike: file names are case-sensitive here. Answers
// whether a file was chosen into SCH.AlarmFile; BrowseAlarmFile then remembers it in the
// settings store.
bool ChooseAlarmFile();
bool BrowseAlarmFile();
// Plays the sound without waiting; false when it cannot be played.
bool PlayAlarmFile();

// Sets SCH.SkipNextTime on task source_id (the task a special event was made from), reporting a
// failure as the editor does; the file position of SCHEDULE and the buffer are kept.
bool SkipSourceTask(std::int32_t source_id);

// The per-user rows (VXUSD) of task SCH.ID.
std::vector<std::string> UserNames();
std::vector<std::string> TaskUserNames(std::int32_t task_id);
// Adds a row for `user` carrying the task's own next run and flags; an existing row stays.
void AddTaskUser(std::string_view user);
void RemoveTaskUser(std::int32_t task_id, std::string_view user);
void RemoveTaskUsers(std::int32_t task_id);

}  // namespace vx
