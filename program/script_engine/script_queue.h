// The active script queue: the steps of every running script, each with the moment at which it
// falls due. Main's timer hands the head to the step executor, at most one step per tick.
//
// The queue is program-wide and guarded by the runtime lock like every other global. Entries
// stay in the order they were added; a "**End**" entry closes each loaded script, so that
// "Exit Script" drops the rest of one script without touching the scripts queued behind it.
#pragma once

#include <cstdint>
#include <string_view>

#include "datadll/dictionary/scripting_table.h"
#include "runtime/queue.h"

namespace vx {

// One step of a running script.
struct ScriptQueueEntry {
  SCRIPTING_RECORD SCR;      // the step (SCR.ID is the task's id)
  std::int32_t DueDate = 0;  // the step may run at or after this moment
  std::int32_t DueTime = 0;
  std::int32_t WindowHandle = 0;  // the program the launcher started last when it was loaded
  std::int32_t TaskHandle = 0;    // the program this step started, while it waits for its end
};

// Whether two entries are the same step of the same load (the executor and the running-script
// viewer use it to find an entry again after the queue may have changed under them).
bool SameScriptEntry(const ScriptQueueEntry& a, const ScriptQueueEntry& b);

extern Queue<ScriptQueueEntry> ScriptQueue;

// The action of the entry that closes one loaded script.
inline constexpr std::string_view kScriptEndAction = "**End**";

// A date and a time of day.
struct ScriptMoment {
  std::int32_t date = 0;
  std::int32_t time = 0;
};

// Where a newly loaded script starts: two step gaps from now, or one gap after the last queued
// entry when that lies later; normalised.
ScriptMoment ScriptStartMoment(const Queue<ScriptQueueEntry>& queue);

// Advances the running moment by the step's own delay: conditions ("..." in the action) share
// the moment of the step before them, waits add their seconds (a wait in "Either" mode adds
// nothing and has its time limit cleared), every other step one step gap (GLOBALDELAY).
void AdvanceByStepDelay(SCRIPTING_RECORD& step, ScriptMoment& running);

// Turns an FTP or HTTP file action into the start of the transfer program, waiting for its end
// at normal priority; other steps are left as they are. The command names the source first and
// the target second, as the step holds them ("VXFTP U local remote", "VXFTP D remote local",
// "HTTPGET url local"), then the host and the user; the start folder is left blank (the
// program's own folder). An FTP password is kept in the step's DDECommand, never on the command
// line; the program start passes it as kTransferPasswordVariable.
inline constexpr std::string_view kTransferPasswordVariable = "VXFTP_PASSWORD";
void ConvertTransferStep(SCRIPTING_RECORD& step);

// The entry of a step due at running: the deadline of an "If Time Elapsed..." step is reckoned
// from base and stored in its SecondsToWait (date) and TimeElapsed (time); a transfer step
// becomes a program start; the window handle is that of the program the launcher started last.
ScriptQueueEntry MakeScriptEntry(SCRIPTING_RECORD step, ScriptMoment running, ScriptMoment base);

// The entry that closes a script, due at running.
ScriptQueueEntry ScriptEndEntry(ScriptMoment running);

}  // namespace vx
