#include "program/script_engine/script_queue.h"

#include <string>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "program/recurrence/moments.h"
#include "program/script_engine/script_text_tokens.h"
#include "runtime/dates.h"
#include "runtime/text_functions.h"

namespace vx {

Queue<ScriptQueueEntry> ScriptQueue;

namespace {

constexpr std::int32_t kHundredthsPerSecond = 100;
// Limit, in seconds, of the wait for a transfer program to end.
constexpr std::int32_t kTransferWaitLimit = 360000;

// Adds hundredths to a moment and normalises it; the sum is taken wide so that a large delay
// never wraps.
ScriptMoment Later(ScriptMoment m, std::int64_t hundredths) {
  std::int64_t date = m.date;
  std::int64_t time = m.time + hundredths;
  NormalizeDateTime(date, time);
  return {static_cast<std::int32_t>(date), static_cast<std::int32_t>(time)};
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

bool SameScriptEntry(const ScriptQueueEntry& a, const ScriptQueueEntry& b) {
  return a.SCR.ID == b.SCR.ID && a.SCR.Sequence == b.SCR.Sequence && a.SCR.Action == b.SCR.Action &&
         a.DueDate == b.DueDate && a.DueTime == b.DueTime && a.WindowHandle == b.WindowHandle;
}

ScriptMoment ScriptStartMoment(const Queue<ScriptQueueEntry>& queue) {
  ScriptMoment start{TODAY(), CLOCK()};
  start = Later(start, 2 * static_cast<std::int64_t>(GLOBALDELAY));
  if (queue.Records() > 0) {
    const ScriptQueueEntry& last = queue[queue.Records()];
    if (CompareDateTime(last.DueDate, last.DueTime, start.date, start.time) > 0) {
      start = Later({last.DueDate, last.DueTime}, GLOBALDELAY);
    }
  }
  return start;
}

void AdvanceByStepDelay(SCRIPTING_RECORD& step, ScriptMoment& running) {
  const std::string_view action = step.Action.clipped();
  if (StartsWith(action, "Wait")) {
    const std::string mode = Lower(step.DDEApplicationName.clipped());
    if (mode == "or" || mode == "either") {
      step.TimeElapsed = 0;
    } else {
      running =
          Later(running, static_cast<std::int64_t>(step.SecondsToWait) * kHundredthsPerSecond);
    }
  } else if (action.find("...") == std::string_view::npos) {
    running = Later(running, GLOBALDELAY);
  } else {
    running = Later(running, 0);
  }
}

void ConvertTransferStep(SCRIPTING_RECORD& step) {
  if (!StartsWith(step.Action.clipped(), "File")) return;
  const std::string_view verb = step.DDEType.clipped();
  std::string command;
  if (verb == "FTP Upload" || verb == "FTP Download") {
    // The user name and the password share one field, 128 characters each.
    const std::string_view topic = step.DDEApplicationTopic.view();
    const std::string_view user = ClipView(topic.substr(0, 128));
    const std::string_view password = ClipView(topic.size() > 128 ? topic.substr(128) : "");
    // The password stays off the command line, where the process list would show it: the
    // step keeps it in its DDE command (not used by a program start), and the start hands it
    // to the transfer program in its environment.
    command = std::string(verb == "FTP Upload" ? "VXFTP U " : "VXFTP D ") +
              QuoteArgument(step.Command.clipped()) + " " + QuoteArgument(step.Path.clipped()) +
              " " + QuoteArgument(step.DDEApplicationName.clipped()) + " " + QuoteArgument(user);
    step.DDECommand = password;
  } else if (verb == "HTTP Download") {
    command = "HTTPGET " + QuoteArgument(step.Command.clipped()) + " " +
              QuoteArgument(step.Path.clipped()) + " /AUTO";
  } else {
    return;
  }
  step.Action = "Start Program";
  step.Command = command;  // the field keeps its width
  // The step's second file (the remote name of an upload, the local name of a download) is now
  // an argument of the command, not a folder to start in: the helper starts in the program's own
  // folder, where a relative local name lands, as it does for every other file action.
  step.Path = "";
  // Wait for the end, priority 2, shown normally, variables translated.
  step.DDEApplicationName = "1211";
  step.TimeElapsed = kTransferWaitLimit;
  step.DDEApplicationTopic = "";
}

ScriptQueueEntry MakeScriptEntry(SCRIPTING_RECORD step, ScriptMoment running, ScriptMoment base) {
  ScriptQueueEntry entry;
  if (StartsWith(step.Action.clipped(), "If T")) {
    const ScriptMoment deadline =
        Later(base, static_cast<std::int64_t>(step.TimeElapsed) * kHundredthsPerSecond);
    step.SecondsToWait = deadline.date;
    step.TimeElapsed = deadline.time;
  }
  ConvertTransferStep(step);
  entry.SCR = step;
  entry.DueDate = running.date;
  entry.DueTime = running.time;
  entry.WindowHandle = static_cast<std::int32_t>(ACTIVEQUEUE.buffer.PRGHANDLE);
  return entry;
}

ScriptQueueEntry ScriptEndEntry(ScriptMoment running) {
  ScriptQueueEntry entry;
  entry.SCR.Action = kScriptEndAction;
  entry.DueDate = running.date;
  entry.DueTime = running.time;
  return entry;
}

}  // namespace vx
