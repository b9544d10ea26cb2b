// The due-task check and run: phase 3 of Main's tick finds the next enabled task and, when its
// minute has come, performs it (alarm, skip rules and questions, message, program, script),
// moves it to its next run, keeps its history copy and refreshes the open task lists.
//
// A run is stored before its task starts: the task's new next run (or its completion), its
// last-run stamp and its history copy are written in one transaction, and only when that has
// been committed does the message show or the program start. A run that cannot be stored (a
// full disk, a failing write) is not started; the task waits, is tried again on later ticks
// while the tasks that can be stored run, and starts once its run is stored, so that no
// occurrence runs twice across a restart and none is lost for the session. The user is told
// once when runs start failing, in a box that leaves the tick going.
//
// Before it looks for a due task the check watches the clock: a forward jump of the date is
// warned of (with its backup) before any task it made overdue runs, and a clock set back
// re-dates the tasks whose next runs now lie beyond their first regular occurrence.
//
// Everything here works on the calling thread's SCHEDULE buffer (SCH), on Main's thread. The
// frame, the task table and the message windows are reached through the interfaces below, so
// that Main wires in the real ones and tests fakes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "datadll/dictionary/schedule_table.h"
#include "program/common/task_message.h"
#include "runtime/events.h"
#include "runtime/message_box.h"
#include "runtime/storage/server_claims.h"

namespace vx {

// The SCHEDULE operations the road needs (the table's file and relation managers in the
// program; every call works on SCH).
class DueTaskTable {
 public:
  virtual ~DueTaskTable() = default;
  // Positions on the (disabled, date, time) key just past the enabled tasks that have neither
  // date nor time, which are never performed: one keyed positioning however many there are.
  // 0 or the error code.
  virtual int StartDateEnabledWalk() = 0;
  // Reads the next record of that walk into SCH: 33 at the end, another code (the thread's
  // last file error) when the record cannot be read; reports nothing itself.
  virtual int Next() = 0;
  // Reads task `id` into SCH; it becomes the record the next write stores. 0 or the error.
  virtual int FetchTask(std::int32_t id) = 0;
  // Writes SCH over the record read last: TryUpdate reports nothing, Update reports a failure
  // itself (but not between BeginWrites and EndWrites).
  virtual int TryUpdate() = 0;
  virtual int Update() = 0;
  // Deletes the task in SCH, the record read or written last, with everything that belongs to
  // it (script steps, per-user rows).
  virtual int DeleteTask() = 0;
  // Every write from BeginWrites to EndWrites, to the tasks and to their script steps, is kept
  // or undone as one. Meanwhile the tables show no box of their own (nor anything else that
  // would keep the transaction open while it waits for the user): what failed is answered by
  // EndWrites.
  virtual void BeginWrites() = 0;
  // Commits those writes when keep is set and none of them failed, else undoes them all. 0 when
  // they are stored; otherwise the error, with what went wrong in `reason`.
  virtual int EndWrites(bool keep, std::string& reason) = 0;
  // Claims the run of the occurrence in SCH (its id, date and time) for this program, among
  // the writes (after BeginWrites), so that the claim is stored or undone with them. Several
  // programs sharing one database (one user on two machines) may find the same occurrence
  // due: one claims it and runs it, the others find it Taken. Failed: nobody knows, and the
  // run waits as an unstored one does.
  virtual storage::ClaimResult ClaimRun() { return storage::ClaimResult::Ours; }
  // Reserves the occurrence in SCH before anything of its run happens (its alarm, its
  // questions), so that of several programs finding it due one alone goes on; the others find
  // it Taken at once, without waiting. Held until ReleaseRun, which follows its writes.
  virtual storage::ClaimResult ReserveRun() { return storage::ClaimResult::Ours; }
  virtual void ReleaseRun() {}
};

// Main's side of the road: its status text and tray, its message windows and the events it
// posts to other threads.
class DueTaskFrame {
 public:
  virtual ~DueTaskFrame() = default;
  // The status text; with in_status_bar it is put into the status bar's second zone at once.
  virtual void SetStatusText(std::string_view text, bool in_status_bar) = 0;
  virtual void SetTrayTip(std::string_view tip) = 0;
  // Brings the frame back from the tray.
  virtual void RestoreFrame() = 0;
  // Shows the message on a thread of its own.
  virtual void StartTaskMessageThread(const TaskMessage& message) = 0;
  // Shows the message in the MSGLINK buffer in the on-top message window, on this thread.
  virtual void ShowModalMessage() = 0;
  // Posts an event to a runtime thread.
  virtual void PostEvent(int event, std::int32_t thread) = 0;
  // Shows a box without waiting for its answer: the tick goes on while it is open.
  virtual void ShowNotice(const MessageBoxRequest& box) = 0;
  // Starts the database maintenance program, which mends damaged data files, and closes the
  // program so that it can work on them.
  virtual void StartMaintenance() {}
};

// A due task whose run could not be stored: it has not started, and is tried again.
struct WaitingRun {
  std::int32_t date = 0, time = 0;  // the occurrence waiting
  bool skipped = false;             // what its skip rules and questions decided when it fell due
  std::uint64_t tried = 0;          // when it was last tried (the count of tries, see below)
  bool decided = true;  // its alarm sounded and its questions were asked (see `skipped`)
};

// State Main keeps for the road while it runs.
struct DueTaskState {
  SCHEDULE_RECORD current;                     // the task last looked at, as it was before it ran
  std::map<std::int32_t, WaitingRun> waiting;  // by task id
  std::uint64_t tries = 0;                     // runs tried again so far
  std::int32_t seen_date = 0, seen_time = 0;   // the clock at the last check; 0: none yet
  bool unreadable_told = false;                // the user knows the tasks cannot be read just now
};

// Phase 3 of the tick.
void CheckNextTask(DueTaskState& state, DueTaskTable& table, DueTaskFrame& frame);

// Performs the task in SCH and moves it on (called when it is due).
void RunDueTask(DueTaskState& state, DueTaskTable& table, DueTaskFrame& frame);

// The "Missed Task" and "Confirm Task" questions; true when the task is to be skipped.
bool AskMissedOrConfirm();

// Shows the message of the task in SCH by the configured means.
void LaunchTaskMessage(DueTaskFrame& frame);
// Shows message (texts already expanded) by the same means; SCH is not used.
void LaunchTaskMessage(DueTaskFrame& frame, const TaskMessage& message);

// Posts EVENT_RefreshSchedule to every thread in BROWSESCHEDULETHREADQUEUE, first to last.
void RefreshTaskBrowses(DueTaskFrame& frame);
// The same from a thread without a frame, leaving out thread `except` (0: none), which
// refreshes itself.
void RefreshTaskLists(long except = 0);

// Whether the task in SCH shows a message ("Display Message", "Both") or runs a program
// ("Run Program", "Both").
bool IsMessageTask();
bool IsProgramTask();

// Deletes the script steps of task SCH.ID.
void DeleteTaskScripts();
// Replaces the script steps of task SCH.ID by a copy of those of task from_id; false when a
// step could not be read or stored.
bool CopyTaskScripts(std::int32_t from_id);

}  // namespace vx
