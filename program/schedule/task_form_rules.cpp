#include "program/schedule/task_form_rules.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "platform/sound.h"
#include "program/common/config_store.h"
#include "program/recurrence/moments.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_texts.h"
#include "program/recurrence/warning_offset.h"
#include "program/schedule/program_pickers.h"
#include "program/script_engine/copy_script.h"
#include "program/script_engine/script_tables.h"
#include "runtime/dates.h"
#include "runtime/ini_file.h"
#include "runtime/pictures.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::int32_t kFiveMinutes = 30000;

// The SCRIPTING rows seen through the script copy, with every add counted: the copy runs inside
// one transaction, so the stream batching of a plain copy is left out.
class CountingSteps final : public ScriptSteps {
 public:
  explicit CountingSteps(ScriptSteps& steps) : steps_(steps) {}
  FileResult DeleteTaskSteps(std::int32_t id, const std::function<void()>& deleted) override {
    return steps_.DeleteTaskSteps(id, deleted);
  }
  FileResult ForEachStep(std::int32_t id,
                         const std::function<bool(const SCRIPTING_RECORD&)>& visit) override {
    return steps_.ForEachStep(id, visit);
  }
  bool StepExists(std::int32_t id, std::int32_t sequence) override {
    return steps_.StepExists(id, sequence);
  }
  FileResult ChangeSequence(std::int32_t id, std::int32_t from, std::int32_t to) override {
    return steps_.ChangeSequence(id, from, to);
  }
  FileResult AddStep(const SCRIPTING_RECORD& step) override {
    FileResult result = steps_.AddStep(step);
    // A duplicate is tried again under the next sequence; only its last try counts.
    if (result.code == storage::kDuplicateKey) {
      last_duplicate_ = true;
    } else {
      last_duplicate_ = false;
      if (!result.ok()) failed_ = true;
    }
    return result;
  }
  bool Failed() const { return failed_ || last_duplicate_; }

 private:
  ScriptSteps& steps_;
  bool failed_ = false;
  bool last_duplicate_ = false;
};

std::int32_t IniNumber(std::string_view key) {
  return static_cast<std::int32_t>(
      std::strtol(GETINI("Warning", key, "", ININAME.clipped()).c_str(), nullptr, 10));
}

}  // namespace

std::vector<std::string> CategoryNames() {
  std::vector<std::string> names;
  if (ACCESS_CATEGORIES->Open() != 0) return names;
  ACCESS_CATEGORIES->Set(CAT_KEYCATEGORY);
  while (ACCESS_CATEGORIES->TryNext() == 0) names.emplace_back(CAT.Category.clipped());
  ACCESS_CATEGORIES->Close();
  return names;
}

void ReserveNewTask() {
  SCH.Disabled = 1;
  ACCESS_SCHEDULE->PrimeAutoInc();
  SCH.Disabled = 0;
  if (SCH.ID == 0) {
    MESSAGE("Auto-increment error.  Could not set unique schedule ID.", "Internal Error",
            MessageIcon::Exclamation);
  }
}

void EnsureCategory(std::string_view category) {
  CAT = CATEGORIES_RECORD{};
  CAT.Category = category;
  if (ACCESS_CATEGORIES->TryFetch(CAT_KEYCATEGORY) == 0) return;
  CAT = CATEGORIES_RECORD{};
  CAT.Category = category;
  ACCESS_CATEGORIES->Insert();
}

std::string LastCategoryFor(std::string_view task_type) {
  std::string category = GetConfigValue("VXCAT" + std::string(CLIP(task_type)));
  if (!category.empty()) return category;
  const std::vector<std::string> names = CategoryNames();
  return names.empty() ? std::string() : names.front();
}

void RememberCategory() {
  SetConfigValue("VXCAT" + std::string(SCH.TaskType.clipped()), SCH.Category.clipped());
}

void PrimeNewTask(std::string_view task_type) {
  SCH.TaskType = task_type.empty() ? kBoth : task_type;
  // The task lists hand their selected day over as the day number in text.
  const std::string day(GLO_DATETOUSE.clipped());
  PrimeStartMoment(day.empty() ? 0
                               : static_cast<std::int32_t>(std::strtol(day.c_str(), nullptr, 10)));
  SCH.ScheduleType = "Day of Week";
  SCH.Sunday = 0;
  SCH.Monday = SCH.Tuesday = SCH.Wednesday = SCH.Thursday = SCH.Friday = 1;
  SCH.Saturday = 0;
  SCH.EveryLast = 1;
  SCH.Warn = 1;
  SCH.Every = 1;
  SCH.EveryType = "hour(s)";
  SCH.Category = LastCategoryFor(SCH.TaskType.clipped());
}

void PrimeStartMoment(std::int32_t date) {
  if (date <= 0) date = TODAY();
  std::int32_t time = CLOCK() + kFiveMinutes;
  NormalizeDateTime(date, time);
  SCH.Date = date;
  SCH.Time = time;
}

bool SameSchedule(const SCHEDULE_RECORD& a, const SCHEDULE_RECORD& b) {
  const auto schedule = [](const SCHEDULE_RECORD& t) {
    return std::tie(t.Date, t.Time, t.ScheduleType, t.Sunday, t.Monday, t.Tuesday, t.Wednesday,
                    t.Thursday, t.Friday, t.Saturday, t.Every1st, t.Every2nd, t.Every3rd,
                    t.Every4th, t.EveryLast, t.LastDayOfMonth, t.Every, t.EveryType, t.MonthRepeat,
                    t.Offset, t.ExpiryDate, t.ExpiryTime);
  };
  return schedule(a) == schedule(b);
}

bool SettlePastStart(bool one_time) {
  if (SCH.Date == 0 || SCH.Time == 0) return true;
  // A run in the current minute is due now, as typed.
  if (CompareDateTimeMinutes(SCH.Date, SCH.Time, TODAY(), CLOCK()) >= 0) return true;
  if (one_time || IsScheduleType(SCH, "Once")) {
    if (MESSAGE("The date and time given have already passed. Run the task now?",
                "Date and Time Passed", MessageIcon::Question, BUTTON_YES | BUTTON_NO,
                BUTTON_NO) != BUTTON_YES) {
      return false;
    }
    // Due from this minute: a run hours or days behind would otherwise meet the rules for
    // missed runs ("Skip if not run at specified time", the missed-task question) and not run.
    SCH.Date = TODAY();
    SCH.Time = CLOCK();
    return true;
  }
  const SCHEDULE_RECORD typed = SCH;
  const bool warning = MakeWarningRelative();
  // Judged by its rule alone: the completion the step finds is the end of the rule's runs.
  SCH.Completed = 0;
  ComputeNextRun(TODAY(), CLOCK());
  const bool ended = SCH.Completed != 0;
  SCH.Completed = typed.Completed;
  if (ended) {
    SCH = typed;
    MESSAGE(
        "The task ends before its next run: it would never run. Set a later end date and "
        "time, or leave them blank.",
        "Warning", MessageIcon::Exclamation);
    return false;
  }
  if (warning) MakeWarningAbsolute();
  return true;
}

std::string CopyIdsMessage(std::int32_t original_id, std::int32_t new_id) {
  if (original_id != 0 && new_id != 0)
    return original_id == new_id ? "Schedule IDs should not match." : "";
  if (new_id == 0) return "Unassigned new schedule ID.";
  return "Unassigned original schedule ID.";
}

bool CopyTaskScript(std::int32_t from_id, std::int32_t to_id) {
  if (from_id == 0 || to_id == 0 || from_id == to_id) return true;
  ScriptingTableSteps table;
  CountingSteps steps(table);
  WindowMessageReporter messages;
  storage::LOGOUT(ACCESS_SCRIPTING->LockRecover);
  CopyScript(from_id, to_id, steps, messages);
  if (steps.Failed()) {
    storage::ROLLBACK();
    MESSAGE("The script of the task could not be copied; the copy has no script steps.", "Error",
            MessageIcon::Exclamation);
    return false;
  }
  if (storage::COMMIT() != 0) {
    storage::ROLLBACK();
    MESSAGE("The script of the task could not be copied; the copy has no script steps.", "Error",
            MessageIcon::Exclamation);
    return false;
  }
  return true;
}

bool EndBeforeStart(const SCHEDULE_RECORD& task) {
  if (task.ExpiryDate == 0) return false;
  if (task.ExpiryDate < task.Date) return true;
  return task.ExpiryDate == task.Date && task.ExpiryTime != 0 && task.ExpiryTime < task.Time;
}

bool WarningAfterTask(const SCHEDULE_RECORD& task) {
  if (task.AdvanceWarnDate == 0) return false;
  return CompareDateTime(task.AdvanceWarnDate, task.AdvanceWarnTime, task.Date, task.Time) > 0;
}

bool ApplyDefaultWarning() {
  if (CLIP(GETINI("Warning", "Active", "", ININAME.clipped())).empty()) return false;
  std::int32_t date = SCH.Date - IniNumber("Date");
  std::int32_t time = SCH.Time - IniNumber("Time");
  NormalizeDateTime(date, time);
  SCH.AdvanceWarned = 0;
  SCH.AdvanceWarnDate = date;
  SCH.AdvanceWarnTime = time;
  return true;
}

void WarnIfDateMisfits() {
  if (SCH.Date != 0 && DateFitsSchedule(SCH.Date) == 0) {
    MESSAGE("Date given does not match schedule type.", "Warning", MessageIcon::Exclamation);
  }
}

void ShownWarning::Take() {
  date = SCH.AdvanceWarnDate;
  time = SCH.AdvanceWarnTime;
}

void AcceptWarning(ShownWarning& shown, bool clear_late) {
  if (SCH.AdvanceWarnDate != shown.date || SCH.AdvanceWarnTime != shown.time) SCH.AdvanceWarned = 0;
  if (WarningAfterTask(SCH)) {
    MESSAGE("Advanced Warning cannot be after scheduled task.", "Warning",
            MessageIcon::Exclamation);
    if (clear_late) {
      SCH.AdvanceWarnDate = 0;
      SCH.AdvanceWarnTime = 0;
    }
  }
  shown.Take();
}

bool WeekChecksFree(const SCHEDULE_RECORD& task) { return task.LastDayOfMonth == 0; }

bool DayChecksFree(const SCHEDULE_RECORD& task) {
  return task.LastDayOfMonth == 0 || task.ScheduleType != "Day of Month";
}

void AlarmFileFromIni() {
  if (SCH.Alarm == 0) return;
  if (SCH.AlarmFile.blank())
    SCH.AlarmFile = GETINI("Settings", "LastWAVFile", "", ININAME.clipped());
  if (!SCH.AlarmFile.blank())
    PUTINI("Settings", "LastWAVFile", SCH.AlarmFile.clipped(), ININAME.clipped());
}

void RememberAlarmFile() {
  if (!SCH.AlarmFile.blank()) SetConfigValue("LastWAVFile", SCH.AlarmFile.clipped());
}

bool RecallAlarmFile() {
  if (!SCH.AlarmFile.blank()) {
    RememberAlarmFile();
    return false;
  }
  SCH.AlarmFile = GetConfigValue("LastWAVFile", "");
  return true;
}

bool ChooseAlarmFile() {
  const std::string folder = GETINI("Defaults", "WAVPath", "", ININAME.clipped());
  std::string file = folder.empty() ? std::string() : folder + "/";
  if (!FILEDIALOG("Select WAV File for Alarm", file, "WAV Files|*.wav *.WAV")) return false;
  SCH.AlarmFile = file;
  const std::string chosen_folder = FolderOf(file);
  if (!chosen_folder.empty()) PUTINI("Defaults", "WAVPath", chosen_folder, ININAME.clipped());
  return true;
}

bool BrowseAlarmFile() {
  if (!ChooseAlarmFile()) return false;
  RememberAlarmFile();
  return true;
}

bool PlayAlarmFile() { return platform::SystemSound().Play(std::string(SCH.AlarmFile.clipped())); }

bool SkipSourceTask(std::int32_t source_id) {
  const SCHEDULE_RECORD task = SCH;
  const storage::FileState position = ACCESS_SCHEDULE->SaveFile();
  bool done = false;
  SCH.ID = source_id;
  if (const int code = ACCESS_SCHEDULE->TryFetch(SCH_KEYID); code != 0) {
    MESSAGE("Could not set SKIP status  ID #" + std::to_string(source_id) + "Error:" + ERROR(),
            "Error", MessageIcon::Exclamation);
  } else {
    SCH.SkipNextTime = 1;
    if (ACCESS_SCHEDULE->TryUpdate() != 0) {
      MESSAGE("Could not change SKIP status " + ERROR(), "Error", MessageIcon::Exclamation);
    } else {
      done = true;
    }
  }
  ACCESS_SCHEDULE->RestoreFile(position);
  SCH = task;
  return done;
}

std::vector<std::string> UserNames() {
  std::vector<std::string> names;
  if (ACCESS_USERS->Open() != 0) return names;
  ACCESS_USERS->Set(U__KEYUSER);
  while (ACCESS_USERS->TryNext() == 0) names.emplace_back(U_.USER.clipped());
  ACCESS_USERS->Close();
  return names;
}

std::vector<std::string> TaskUserNames(std::int32_t task_id) {
  std::vector<std::string> names;
  if (ACCESS_VXUSD->Open() != 0) return names;
  US = VXUSD_RECORD{};
  US.ID = task_id;
  ACCESS_VXUSD->file().SetFromBuffer(US_KEYID);
  while (ACCESS_VXUSD->TryNext() == 0 && US.ID == task_id) names.emplace_back(US.USER.clipped());
  ACCESS_VXUSD->Close();
  return names;
}

void AddTaskUser(std::string_view user) {
  if (ACCESS_VXUSD->Open() != 0) return;
  US = VXUSD_RECORD{};
  US.USER = user;
  US.ID = SCH.ID;
  US.DATE = SCH.Date;
  US.TIME = SCH.Time;
  US.SKIPNEXTTIME = SCH.SkipNextTime;
  US.ADVANCEWARNDATE = SCH.AdvanceWarnDate;
  US.ADVANCEWARNTIME = SCH.AdvanceWarnTime;
  US.ADVANCEWARNED = SCH.AdvanceWarned;
  US.DISABLED = SCH.Disabled;
  US.COMPLETED = SCH.Completed;
  US.SKIPPED = SCH.Skipped;
  // A user who has a row for the task already keeps it as it is.
  ACCESS_VXUSD->TryInsert();
  ACCESS_VXUSD->Close();
}

void RemoveTaskUser(std::int32_t task_id, std::string_view user) {
  if (ACCESS_VXUSD->Open() != 0) return;
  US = VXUSD_RECORD{};
  US.ID = task_id;
  US.USER = user;
  if (ACCESS_VXUSD->TryFetch(US_KEYID) == 0) ACCESS_VXUSD->Delete();
  ACCESS_VXUSD->Close();
}

void RemoveTaskUsers(std::int32_t task_id) {
  for (const std::string& user : TaskUserNames(task_id)) RemoveTaskUser(task_id, user);
}

}  // namespace vx
