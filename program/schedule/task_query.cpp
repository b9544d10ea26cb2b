#include "program/schedule/task_query.h"

#include <array>

namespace vx {
namespace {

using K = QueryValueKind;

// The task fields a query may test. The task type and schedule type offer the texts the task
// editor stores, so that a condition on them can match.
constexpr std::array kFields = {
    QueryField{"Basic - Task Type (Message/Program/Both/Reminder)", "SCH:TaskType", K::Choice,
               "Start Program|#Run Program|Display Message|Both|Reminder Only|#None"},
    QueryField{"Basic - Task Category", "SCH:Category", K::Text},
    QueryField{"Basic - Task Description/Title", "SCH:Description", K::Text},
    QueryField{"Basic - Program to start", "SCH:Command", K::Text},
    QueryField{"Basic - Start in (path or folder)", "SCH:Path", K::Text},
    QueryField{"Basic - Task Schedule Type (Once/Repeating)", "SCH:ScheduleType", K::Choice,
               "Once|Day of Week|Day of Month|Monthly|Yearly|Every...|#Custom"},
    QueryField{"Day - Sunday", "SCH:Sunday", K::YesNo},
    QueryField{"Day - Monday", "SCH:Monday", K::YesNo},
    QueryField{"Day - Tuesday", "SCH:Tuesday", K::YesNo},
    QueryField{"Day - Wednesday", "SCH:Wednesday", K::YesNo},
    QueryField{"Day - Thursday", "SCH:Thursday", K::YesNo},
    QueryField{"Day - Friday", "SCH:Friday", K::YesNo},
    QueryField{"Day - Saturday", "SCH:Saturday", K::YesNo},
    QueryField{"Every - Month Repeat", "SCH:MonthRepeat", K::Choice,
               "Once|Twice - 1st, 15th|Twice - 15th, Last"},
    QueryField{"Every - Semi-Monthly Offset", "SCH:Offset", K::Number},
    QueryField{"Every - Number of seconds/minutes/hours/etc.", "SCH:Every", K::Number},
    QueryField{"Every - 1st", "SCH:Every1st", K::YesNo},
    QueryField{"Every - 2nd", "SCH:Every2nd", K::YesNo},
    QueryField{"Every - 3rd", "SCH:Every3rd", K::YesNo},
    QueryField{"Every - 4th", "SCH:Every4th", K::YesNo},
    QueryField{"Every - Last", "SCH:EveryLast", K::YesNo},
    QueryField{"Every - Last Day of Month", "SCH:LastDayOfMonth", K::YesNo},
    QueryField{"Every - Type/unit (seconds/minutes/hours/etc).", "SCH:EveryType", K::Choice,
               "minute(s)|hour(s)|day(s)|week(s)|month(s)|year(s)"},
    QueryField{"Basic - Next Date to Perform Task", "SCH:Date", K::Date},
    QueryField{"Basic - Next Time to Perform Task", "SCH:Time", K::Time},
    QueryField{"Basic - Last performed on this date", "SCH:LastRunDate", K::Date},
    QueryField{"Basic - Last performed at this time", "SCH:LastRunTime", K::Time},
    QueryField{"Basic - Skip next occurrence of this task (True/False)", "SCH:SkipNextTime",
               K::YesNo},
    QueryField{"Option - Alarm - On/Off", "SCH:Alarm", K::YesNo},
    QueryField{"Option - Alarm - WAV file to play", "SCH:AlarmFile", K::Text},
    QueryField{"Option - Advanced Warning - Date", "SCH:AdvanceWarnDate", K::Date},
    QueryField{"Option - Advanced Warning - Time", "SCH:AdvanceWarnTime", K::Time},
    QueryField{"Option - Advanced Warning - Issued True/False", "SCH:AdvanceWarned", K::YesNo},
    QueryField{"Option - Warn if not run on specified date (True/False)", "SCH:Warn", K::YesNo},
    QueryField{"Option - Skip if not run on specified date (True/False)", "SCH:SkipIfMissed",
               K::YesNo},
    QueryField{"Option - Skip if a script is running", "SCH:SkipIfScriptActive", K::YesNo},
    QueryField{"Option - Do not show history (remove when completed) (True/False)", "SCH:NoHistory",
               K::YesNo},
    QueryField{"Option - Give option to skip before performing (True/False)", "SCH:UserSkip",
               K::YesNo},
    QueryField{"Option - Do not perform this task (True/False)", "SCH:Disabled", K::YesNo},
    QueryField{"Status - Task skipped (True/False)", "SCH:Skipped", K::YesNo},
    QueryField{"Expires on date", "SCH:ExpiryDate", K::Date},
    QueryField{"Expires at time", "SCH:ExpiryTime", K::Time},
    QueryField{"Exception Shift Type", "SCH:ShiftType", K::Choice,
               "Skip (to Next Valid Day)|Previous Day|Next Day"},
    QueryField{"Except Weekends  (True/False)", "SCH:ExceptWeekends", K::YesNo},
    QueryField{"Except Weekdays  (True/False)", "SCH:ExceptWeekdays", K::YesNo},
    QueryField{"Except Holidays  (True/False)", "SCH:ExceptHolidays", K::YesNo},
    QueryField{"Except Time  (True/False)", "SCH:ExceptTime", K::YesNo},
    QueryField{"Exception Time Range Begin", "SCH:ExceptTimeBegin", K::Time},
    QueryField{"Exception Time Range End", "SCH:ExceptTimeEnd", K::Time},
};

}  // namespace

std::span<const QueryField> TaskQueryFields() { return kFields; }

bool TaskQueryWizard(std::string& filter) {
  return QueryWizard(TaskQueryFields(), filter, "TaskQueryWizard");
}

}  // namespace vx
