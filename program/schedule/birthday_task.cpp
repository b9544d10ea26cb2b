#include "program/schedule/birthday_task.h"

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/schedule/task_form_rules.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

enum class Occasion { kBirthday, kAnniversary, kOther };

Occasion OccasionOf(const YearlyEvent& event) {
  const std::string occasion = CLIP(event.occasion);
  if (occasion == "Anniversary") return Occasion::kAnniversary;
  if (occasion == "Other") return Occasion::kOther;
  return Occasion::kBirthday;
}

}  // namespace

std::string YearlyEventDescription(const YearlyEvent& event) {
  switch (OccasionOf(event)) {
    case Occasion::kAnniversary:
      return "Anniversary: " + event.name;
    case Occasion::kOther:
      return "Event: " + event.name;
    case Occasion::kBirthday:
      break;
  }
  return "Birthday: " + event.name;
}

std::string YearlyEventMessage(const YearlyEvent& event) {
  const std::string name(CLIP(event.name));
  const Occasion occasion = OccasionOf(event);
  std::string message;
  switch (occasion) {
    case Occasion::kBirthday:
      message = "It's " + name + "'s birthday today!";
      break;
    case Occasion::kAnniversary:
      message = "It's " + name + "'s anniversary today!";
      break;
    case Occasion::kOther:
      message = name + " is today!";
      break;
  }
  message += "\r\n\r\n";
  if (!event.exact) return message;
  // Left as text: the message's bracket expressions are worked out when it is shown.
  if (occasion == Occasion::kBirthday) message += "Age: ";
  message += "[= AGE(DATE(" + std::to_string(MONTH(event.date)) + "," +
             std::to_string(DAY(event.date)) + "," + std::to_string(YEAR(event.date)) +
             "),TODAY())]";
  return message;
}

std::int32_t NextYearlyDate(std::int32_t date, std::int32_t today) {
  const int month = MONTH(date), day = DAY(date), year = YEAR(today);
  const std::int32_t this_year = DATE(month, day, year);
  return this_year > today ? this_year : DATE(month, day, year + 1);
}

void PrimeYearlyEventTask() {
  ACCESS_SCHEDULE->PrimeRecord();
  SCH.Date = TODAY();
  SCH.Time = kBirthdayTime;
  SCH.ScheduleType = "Yearly";
  SCH.EveryLast = 1;
  SCH.Warn = 1;
  SCH.TaskType = kDisplayMessage;
  SCH.Every = 1;
  SCH.EveryType = "year(s)";
  SCH.Category = kBirthdayCategory;
  EnsureCategory(kBirthdayCategory);
}

void DateYearlyEventTask(std::int32_t date, int warn_days) {
  SCH.Date = NextYearlyDate(date, TODAY());
  SCH.Time = kBirthdayTime;
  if (warn_days > 0) {
    SCH.AdvanceWarnDate = SCH.Date - warn_days;
    SCH.AdvanceWarnTime = SCH.Time;
  } else {
    SCH.AdvanceWarnDate = 0;
    SCH.AdvanceWarnTime = 0;
  }
  SCH.AdvanceWarned = 0;
}

}  // namespace vx
