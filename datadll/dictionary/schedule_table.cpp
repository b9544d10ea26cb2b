#include "datadll/dictionary/schedule_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/globals.h"

namespace vx {

thread_local SCHEDULE_RECORD SCH;
thread_local SCHEDULEWORKFILE_RECORD SCW;
thread_local SYNCSCHEDULE_RECORD SSCH;

namespace {

using dictionary::MakeKey;
using dictionary::MakeTable;
using storage::KeyKind;

// The task fields in record order; the sync copy lacks User and adds Bimonthly.
template <class Rec>
std::vector<storage::FieldDef> TaskFields() {
  std::vector<storage::FieldDef> f;
  f.push_back(VX_FIELD(Rec, ID));
  if constexpr (requires(Rec r) { r.User; }) f.push_back(VX_FIELD(Rec, User));
  f.push_back(VX_FIELD(Rec, TaskType));
  f.push_back(VX_FIELD(Rec, Category));
  f.push_back(VX_FIELD(Rec, Description));
  f.push_back(VX_FIELD(Rec, Command));
  f.push_back(VX_FIELD(Rec, Path));
  f.push_back(VX_FIELD(Rec, ScheduleType));
  f.push_back(VX_FIELD(Rec, Sunday));
  f.push_back(VX_FIELD(Rec, Monday));
  f.push_back(VX_FIELD(Rec, Tuesday));
  f.push_back(VX_FIELD(Rec, Wednesday));
  f.push_back(VX_FIELD(Rec, Thursday));
  f.push_back(VX_FIELD(Rec, Friday));
  f.push_back(VX_FIELD(Rec, Saturday));
  f.push_back(VX_FIELD(Rec, MonthRepeat));
  f.push_back(VX_FIELD(Rec, Offset));
  f.push_back(VX_FIELD(Rec, Every));
  f.push_back(VX_FIELD(Rec, Every1st));
  f.push_back(VX_FIELD(Rec, Every2nd));
  f.push_back(VX_FIELD(Rec, Every3rd));
  f.push_back(VX_FIELD(Rec, Every4th));
  f.push_back(VX_FIELD(Rec, EveryLast));
  f.push_back(VX_FIELD(Rec, LastDayOfMonth));
  if constexpr (requires(Rec r) { r.Bimonthly; }) f.push_back(VX_FIELD(Rec, Bimonthly));
  f.push_back(VX_FIELD(Rec, EveryType));
  f.push_back(VX_FIELD(Rec, Date));
  f.push_back(VX_FIELD(Rec, Time));
  f.push_back(VX_FIELD(Rec, LastRunDate));
  f.push_back(VX_FIELD(Rec, LastRunTime));
  f.push_back(VX_FIELD(Rec, SkipNextTime));
  f.push_back(VX_FIELD(Rec, Alarm));
  f.push_back(VX_FIELD(Rec, AlarmFile));
  f.push_back(VX_FIELD(Rec, AdvanceWarnDate));
  f.push_back(VX_FIELD(Rec, AdvanceWarnTime));
  f.push_back(VX_FIELD(Rec, AdvanceWarned));
  f.push_back(VX_FIELD(Rec, LastWarnDate));
  f.push_back(VX_FIELD(Rec, LastWarnTime));
  f.push_back(VX_FIELD(Rec, AdvanceWarnRepeat));
  f.push_back(VX_FIELD(Rec, Warn));
  f.push_back(VX_FIELD(Rec, SkipIfMissed));
  f.push_back(VX_FIELD(Rec, SkipIfScriptActive));
  f.push_back(VX_FIELD(Rec, NoHistory));
  f.push_back(VX_FIELD(Rec, UserSkip));
  f.push_back(VX_FIELD(Rec, Disabled));
  f.push_back(VX_FIELD(Rec, Completed));
  f.push_back(VX_FIELD(Rec, Skipped));
  f.push_back(VX_FIELD(Rec, ExpiryDate));
  f.push_back(VX_FIELD(Rec, ExpiryTime));
  f.push_back(VX_FIELD(Rec, ShiftType));
  f.push_back(VX_FIELD(Rec, ExceptWeekends));
  f.push_back(VX_FIELD(Rec, ExceptWeekdays));
  f.push_back(VX_FIELD(Rec, ExceptHolidays));
  f.push_back(VX_FIELD(Rec, ExceptTime));
  f.push_back(VX_FIELD(Rec, ExceptTimeBegin));
  f.push_back(VX_FIELD(Rec, ExceptTimeEnd));
  f.push_back(VX_FIELD(Rec, ExceptOther));
  f.push_back(VX_FIELD(Rec, ExceptionLink));
  f.push_back(VX_FIELD(Rec, NetworkUser));
  f.push_back(VX_FIELD(Rec, LastChangeDate));
  f.push_back(VX_FIELD(Rec, LastChangeTime));
  f.push_back(VX_FIELD(Rec, OriginalID));
  f.push_back(VX_MEMO(Rec, Message));
  return f;
}

storage::TableDef BuildSchedule() {
  auto t = MakeTable<SCHEDULE_RECORD>("SCHEDULE", "SCH", "VX97\\!s", true);
  t.fields = TaskFields<SCHEDULE_RECORD>();
  t.keys = {
      MakeKey("KeyID", "By System ID", KeyKind::Primary, {{"ID"}}, true),
      MakeKey("KeyDate", "Date", KeyKind::Duplicates, {{"Date"}, {"Time"}}),
      MakeKey("KeyCategory", "Category", KeyKind::Duplicates, {{"Category"}, {"Description"}}),
      MakeKey("KeyCategoryDate", "Category/Date", KeyKind::Duplicates,
              {{"Category"}, {"Date"}, {"Time"}}),
      MakeKey("KeyTaskName", "Description", KeyKind::Duplicates, {{"Description"}, {"Category"}}),
      MakeKey("KeyTaskType", "Task Type", KeyKind::Duplicates, {{"TaskType"}, {"Description"}}),
      MakeKey("KeyTaskDate", "Task Type/Date", KeyKind::Duplicates,
              {{"TaskType"}, {"Date"}, {"Time"}}),
      MakeKey("KeyDateEnabled", "Only used to determine if task is waitin", KeyKind::Duplicates,
              {{"Disabled"}, {"Date"}, {"Time"}}),
      MakeKey("KeyAdvanced", "Advanced Warning Date Order", KeyKind::Duplicates,
              {{"AdvanceWarned"}, {"AdvanceWarnDate"}, {"AdvanceWarnTime"}}),
      MakeKey("KeyExpiryDate", "Expiry Date", KeyKind::Duplicates,
              {{"ExpiryDate"}, {"ExpiryTime"}}),
      MakeKey("KeyOriginalID", "Original ID", KeyKind::Duplicates, {{"OriginalID"}}),
  };
  t.buffer = [] { return static_cast<void*>(&SCH); };
  return t;
}

storage::TableDef BuildScheduleWorkFile() {
  auto t = MakeTable<SCHEDULEWORKFILE_RECORD>("SCHEDULEWORKFILE", "SCW", "", true);
  t.stored_name_ref = &GLO_SCHEDULEWORKFILENAME;
  t.fields = TaskFields<SCHEDULEWORKFILE_RECORD>();
  t.keys = {
      MakeKey("KeyID", "By System ID", KeyKind::Primary, {{"ID"}}, true),
      MakeKey("KeyUser", "SCW:KeyUser", KeyKind::Duplicates, {{"User"}, {"ID"}}),
      MakeKey("KeyDate", "Date", KeyKind::Duplicates, {{"Date"}, {"Time"}}),
      MakeKey("KeyUserDate", "By Date for Specific User", KeyKind::Duplicates,
              {{"User"}, {"Date"}, {"Time"}}),
      MakeKey("KeyCategory", "Category", KeyKind::Duplicates, {{"Category"}, {"Description"}}),
      MakeKey("KeyCategoryDate", "Category/Date", KeyKind::Duplicates,
              {{"Category"}, {"Date"}, {"Time"}}),
      MakeKey("KeyTaskName", "Description", KeyKind::Duplicates, {{"Description"}, {"Category"}}),
      MakeKey("KeyTaskType", "Task Type", KeyKind::Duplicates, {{"TaskType"}, {"Description"}}),
      MakeKey("KeyTaskDate", "Task Type/Date", KeyKind::Duplicates,
              {{"TaskType"}, {"Date"}, {"Time"}}),
      MakeKey("KeyDateEnabled", "Only used to determine if task is waitin", KeyKind::Duplicates,
              {{"Disabled"}, {"Date"}, {"Time"}}),
      MakeKey("KeyAdvanced", "SCW:KeyAdvanced", KeyKind::Duplicates,
              {{"AdvanceWarned"}, {"AdvanceWarnDate"}, {"AdvanceWarnTime"}}),
      MakeKey("KeyUserAdvanced", "By Advance Notice Within User", KeyKind::Duplicates,
              {{"User"}, {"AdvanceWarnDate"}, {"AdvanceWarnTime"}}),
      MakeKey("KeyExpiryDate", "Expiry Date", KeyKind::Duplicates,
              {{"ExpiryDate"}, {"ExpiryTime"}}),
  };
  t.buffer = [] { return static_cast<void*>(&SCW); };
  return t;
}

storage::TableDef BuildSyncSchedule() {
  auto t = MakeTable<SYNCSCHEDULE_RECORD>("SYNCSCHEDULE", "SSCH", "", true);
  t.stored_name_ref = &GLO_SYNCSCHEDULEFILENAME;
  t.fields = TaskFields<SYNCSCHEDULE_RECORD>();
  t.keys = {
      MakeKey("KeyID", "By System ID", KeyKind::Primary, {{"ID"}}, true),
      MakeKey("KeyDate", "Date", KeyKind::Duplicates, {{"Date"}, {"Time"}}),
      MakeKey("KeyCategory", "Category", KeyKind::Duplicates, {{"Category"}, {"Description"}}),
      MakeKey("KeyTaskType", "Task Type", KeyKind::Duplicates, {{"TaskType"}, {"Description"}}),
      MakeKey("KeyOriginalID", "SSch:KeyOriginalID", KeyKind::Duplicates, {{"OriginalID"}}),
  };
  t.buffer = [] { return static_cast<void*>(&SSCH); };
  return t;
}

}  // namespace

const storage::TableDef& SCHEDULE_TABLE() {
  static const storage::TableDef def = BuildSchedule();
  return def;
}

const storage::TableDef& SCHEDULEWORKFILE_TABLE() {
  static const storage::TableDef def = BuildScheduleWorkFile();
  return def;
}

const storage::TableDef& SYNCSCHEDULE_TABLE() {
  static const storage::TableDef def = BuildSyncSchedule();
  return def;
}

}  // namespace vx
