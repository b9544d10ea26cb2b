#include "program/due_tasks/advance_warnings.h"

#include <functional>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "program/common/external_message.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/user_task_state.h"
#include "program/script_engine/script_variables.h"
#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

constexpr int kMaxReads = 10000;
constexpr std::size_t kWarningSize = 4096;
constexpr std::string_view kLabel = "Advanced Warning";
constexpr std::string_view kLineBreaks = "\r\n\r\n";

// A warning is due once its moment lies before now (a warning for today 10:00 from 10:00.01).
bool WarningDue() {
  const std::int32_t today = TODAY();
  return SCH.AdvanceWarnDate < today ||
         (SCH.AdvanceWarnDate == today && SCH.AdvanceWarnTime < CLOCK());
}

std::string WarningCaption() {
  return "Advanced Warning: " + ExpandVariables(SCH.Description.clipped());
}

}  // namespace

std::string AdvanceWarningText() {
  std::string text =
      FORMAT(SCH.Date, "@D3") + " " + FORMAT(SCH.Time, "@T3") + std::string(kLineBreaks);
  const std::string message(SCH.Message.clipped());
  const std::string command(SCH.Command.clipped());
  if (SCH.TaskType == "Display Message") {
    text += message;
  } else if (SCH.TaskType == "Run Program") {
    text += "Command:  " + command;
  } else if (SCH.TaskType == "Both" || !command.empty()) {
    text += CLIP(LEFT(message + std::string(kLineBreaks) + "Command: " + command));
  } else {
    text += CLIP(LEFT(message));
  }
  return std::string(CutUtf8(text, kWarningSize));
}

void ShowAdvanceWarning(std::string_view text) {
  const std::string expanded = ExpandVariables(text);
  if (USEEXTERNALMESSAGE != 0) {
    const std::string alarm = SCH.Alarm != 0 ? std::string(SCH.AlarmFile.clipped()) : std::string();
    if (StartMessageProgram(CutUtf8(WarningCaption(), 60), expanded, alarm)) return;
  }
  MessageBoxRequest box;
  box.caption = WarningCaption();
  box.text = expanded;
  CurrentTaskRoadServices().messages->Show(box);
}

namespace {

// Marks and shows the warning of the task in SCH, its state the user's own, once marked by
// `mark`; a warning that cannot be marked is not shown, or it would come back at every pass.
void WarnOf(const std::function<int()>& mark) {
  if (mark() != 0) return;
  if (SCH.SkipNextTime != 0) {
    TaskLog("Skipped:  " + std::string(SCH.Description.clipped()), kLabel);
    return;
  }
  TaskLog(SCH.Description.clipped(), kLabel);
  ShowAdvanceWarning(AdvanceWarningText());
}

// In multi-user mode each user is warned by their own state of a task (VXUSD): the walk goes
// through the current user's rows not yet warned of tasks neither disabled nor completed for
// them, in the order of their warning moments; the user part of the key keeps the other users'
// rows out of it.
void CheckUserAdvanceWarnings() {
  if (ACCESS_VXUSD->Open() != 0) return;
  const std::string user = UPPER(TaskStateUser());
  US = VXUSD_RECORD{};
  US.USER = TaskStateUser();
  US.ADVANCEWARNDATE = 1;
  if (ACCESS_VXUSD->SetFromBuffer(US_KEYADVANCED) == 0) {
    for (int reads = 0; reads < kMaxReads && ACCESS_VXUSD->Next() == 0; ++reads) {
      if (UPPER(CLIP(US.USER.str())) != user) break;  // past the user's rows
      if (US.ADVANCEWARNED != 0 || US.DISABLED != 0 || US.COMPLETED != 0) break;
      const std::int32_t today = TODAY();
      if (US.ADVANCEWARNDATE > today ||
          (US.ADVANCEWARNDATE == today && US.ADVANCEWARNTIME >= CLOCK()))
        break;
      const VXUSD_RECORD row = US;
      SCH.ID = row.ID;
      if (ACCESS_SCHEDULE->TryFetch(SCH_KEYID) != 0) continue;  // a row of a task gone
      if (SCH.ScheduleType.clipped().empty()) continue;
      OverlayUserState(row, SCH);
      WarnOf([&] {
        US = row;
        US.ADVANCEWARNED = 1;
        return ACCESS_VXUSD->Update();
      });
    }
  }
  ACCESS_VXUSD->Close();
}

}  // namespace

void CheckAdvanceWarnings() {
  if (ACCESS_SCHEDULE->Open() != 0) return;
  if (PerUserTaskState()) {
    CheckUserAdvanceWarnings();
    ACCESS_SCHEDULE->Close();
    return;
  }
  // Tasks without a warning (date 0) sort first in the key; the walk starts past them.
  SCH = SCHEDULE_RECORD{};
  SCH.AdvanceWarned = 0;
  SCH.AdvanceWarnDate = 1;
  if (ACCESS_SCHEDULE->SetFromBuffer(SCH_KEYADVANCED) == 0) {
    for (int reads = 0; reads < kMaxReads && ACCESS_SCHEDULE->Next() == 0; ++reads) {
      if (SCH.AdvanceWarned != 0) break;  // every later task has been warned
      // Warnings come in moment order: once one is not due, none of the later ones is.
      if (!WarningDue()) break;
      // A record not filled in yet (a task being added) is passed over, so that it holds up
      // nobody else's warning.
      if (SCH.ScheduleType.clipped().empty()) continue;
      // A disabled task will not run: the history copy of a task just run, with the warning
      // of that run, or a task put aside. It is marked and leaves the walk without a word.
      if (SCH.Disabled != 0) {
        SCH.AdvanceWarned = 1;
        ACCESS_SCHEDULE->Update();
        continue;
      }
      WarnOf([] {
        SCH.AdvanceWarned = 1;
        return ACCESS_SCHEDULE->Update();
      });
    }
  }
  ACCESS_SCHEDULE->Close();
}

}  // namespace vx
