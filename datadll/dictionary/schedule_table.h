// SCHEDULE: one record per task (next run, recurrence rule, alarm, advance warning, exceptions).
// SCHEDULEWORKFILE shares the record layout (the reports' per-user work copy of tasks), and
// SYNCSCHEDULE is the synchronisation copy with its slightly different layout.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct SCHEDULE_RECORD {
  std::int32_t ID = 0;
  String<40> User;
  String<20> TaskType;
  String<20> Category;
  String<40> Description;
  String<255> Command;
  String<255> Path;
  String<15> ScheduleType;
  std::uint8_t Sunday = 0;
  std::uint8_t Monday = 0;
  std::uint8_t Tuesday = 0;
  std::uint8_t Wednesday = 0;
  std::uint8_t Thursday = 0;
  std::uint8_t Friday = 0;
  std::uint8_t Saturday = 0;
  String<18> MonthRepeat;
  std::int32_t Offset = 0;
  std::int32_t Every = 0;
  std::uint8_t Every1st = 0;
  std::uint8_t Every2nd = 0;
  std::uint8_t Every3rd = 0;
  std::uint8_t Every4th = 0;
  std::uint8_t EveryLast = 0;
  std::uint8_t LastDayOfMonth = 0;
  String<20> EveryType;
  std::int32_t Date = 0;
  std::int32_t Time = 0;
  std::int32_t LastRunDate = 0;
  std::int32_t LastRunTime = 0;
  std::uint8_t SkipNextTime = 0;
  std::uint8_t Alarm = 0;
  CString<255> AlarmFile;
  std::int32_t AdvanceWarnDate = 0;
  std::int32_t AdvanceWarnTime = 0;
  std::uint8_t AdvanceWarned = 0;
  std::int32_t LastWarnDate = 0;
  std::int32_t LastWarnTime = 0;
  std::uint8_t AdvanceWarnRepeat = 0;
  std::uint8_t Warn = 0;
  std::uint8_t SkipIfMissed = 0;
  std::uint8_t SkipIfScriptActive = 0;
  std::uint8_t NoHistory = 0;
  std::uint8_t UserSkip = 0;
  std::uint8_t Disabled = 0;
  std::uint8_t Completed = 0;
  std::uint8_t Skipped = 0;
  std::int32_t ExpiryDate = 0;
  std::int32_t ExpiryTime = 0;
  String<20> ShiftType;
  std::uint8_t ExceptWeekends = 0;
  std::uint8_t ExceptWeekdays = 0;
  std::uint8_t ExceptHolidays = 0;
  std::uint8_t ExceptTime = 0;
  std::int32_t ExceptTimeBegin = 0;
  std::int32_t ExceptTimeEnd = 0;
  String<20> ExceptOther;
  std::int32_t ExceptionLink = 0;
  String<30> NetworkUser;
  std::int32_t LastChangeDate = 0;
  std::int32_t LastChangeTime = 0;
  std::int32_t OriginalID = 0;
  String<4096> Message;  // memo
};

using SCHEDULEWORKFILE_RECORD = SCHEDULE_RECORD;

// The synchronisation copy has no owner field and one more recurrence switch (Bimonthly).
struct SYNCSCHEDULE_RECORD {
  std::int32_t ID = 0;
  String<20> TaskType;
  String<20> Category;
  String<40> Description;
  String<255> Command;
  String<255> Path;
  String<15> ScheduleType;
  std::uint8_t Sunday = 0;
  std::uint8_t Monday = 0;
  std::uint8_t Tuesday = 0;
  std::uint8_t Wednesday = 0;
  std::uint8_t Thursday = 0;
  std::uint8_t Friday = 0;
  std::uint8_t Saturday = 0;
  String<18> MonthRepeat;
  std::int32_t Offset = 0;
  std::int32_t Every = 0;
  std::uint8_t Every1st = 0;
  std::uint8_t Every2nd = 0;
  std::uint8_t Every3rd = 0;
  std::uint8_t Every4th = 0;
  std::uint8_t EveryLast = 0;
  std::uint8_t LastDayOfMonth = 0;
  std::uint8_t Bimonthly = 0;
  String<20> EveryType;
  std::int32_t Date = 0;
  std::int32_t Time = 0;
  std::int32_t LastRunDate = 0;
  std::int32_t LastRunTime = 0;
  std::uint8_t SkipNextTime = 0;
  std::uint8_t Alarm = 0;
  CString<255> AlarmFile;
  std::int32_t AdvanceWarnDate = 0;
  std::int32_t AdvanceWarnTime = 0;
  std::uint8_t AdvanceWarned = 0;
  std::int32_t LastWarnDate = 0;
  std::int32_t LastWarnTime = 0;
  std::uint8_t AdvanceWarnRepeat = 0;
  std::uint8_t Warn = 0;
  std::uint8_t SkipIfMissed = 0;
  std::uint8_t SkipIfScriptActive = 0;
  std::uint8_t NoHistory = 0;
  std::uint8_t UserSkip = 0;
  std::uint8_t Disabled = 0;
  std::uint8_t Completed = 0;
  std::uint8_t Skipped = 0;
  std::int32_t ExpiryDate = 0;
  std::int32_t ExpiryTime = 0;
  String<20> ShiftType;
  std::uint8_t ExceptWeekends = 0;
  std::uint8_t ExceptWeekdays = 0;
  std::uint8_t ExceptHolidays = 0;
  std::uint8_t ExceptTime = 0;
  std::int32_t ExceptTimeBegin = 0;
  std::int32_t ExceptTimeEnd = 0;
  String<20> ExceptOther;
  std::int32_t ExceptionLink = 0;
  String<30> NetworkUser;
  std::int32_t LastChangeDate = 0;
  std::int32_t LastChangeTime = 0;
  std::int32_t OriginalID = 0;
  String<4096> Message;  // memo
};

// The calling thread's record buffers.
extern thread_local SCHEDULE_RECORD SCH;
extern thread_local SCHEDULEWORKFILE_RECORD SCW;
extern thread_local SYNCSCHEDULE_RECORD SSCH;

const storage::TableDef& SCHEDULE_TABLE();
const storage::TableDef& SCHEDULEWORKFILE_TABLE();
const storage::TableDef& SYNCSCHEDULE_TABLE();

}  // namespace vx
