#include <string>
#include <vector>

#include "program/recurrence/recurrence.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using namespace vx::test;

struct FitCase {
  std::string name;
  SCHEDULE_RECORD task;
  std::int32_t date;
  int fits;
};

SCHEDULE_RECORD Semi(const char* repeat, std::int32_t offset) {
  SCHEDULE_RECORD task = MakeTask("Monthly", DATE(1, 15, 2025), 0);
  task.MonthRepeat = repeat;
  task.Offset = offset;
  return task;
}

SCHEDULE_RECORD MonthDays(std::initializer_list<int> days, bool first, bool last,
                          bool month_end = false) {
  SCHEDULE_RECORD task = MakeTask("Day of Month", DATE(1, 1, 2025), 0);
  SetWeekdays(task, days);
  task.Every1st = first;
  task.EveryLast = last;
  task.LastDayOfMonth = month_end;
  return task;
}

class DateFitsScheduleTest : public ScheduleTest {};

TEST_F(DateFitsScheduleTest, Rules) {
  const std::int32_t mon_1st = DATE(9, 1, 2025);  // a Monday on the 1st
  ASSERT_EQ(WeekDay(mon_1st), kMon);
  SCHEDULE_RECORD monday = MakeTask("Day of Week", 0, 0);
  SetWeekdays(monday, {kMon});
  const std::vector<FitCase> cases = {
      {"once", MakeTask("Once", 0, 0), DATE(3, 7, 2025), 1},
      {"plain monthly", MakeTask("Monthly", 0, 0), DATE(3, 7, 2025), 1},
      {"yearly", MakeTask("Yearly", 0, 0), DATE(3, 7, 2025), 1},
      {"custom", MakeTask("Custom", 0, 0), DATE(3, 7, 2025), 1},
      {"empty type", MakeTask("", 0, 0), DATE(3, 7, 2025), 1},
      {"1st/15th: the 1st", Semi("Twice - 1st, 15th", 0), DATE(3, 1, 2025), 1},
      {"1st/15th: the 15th", Semi("Twice - 1st, 15th", 0), DATE(3, 15, 2025), 1},
      {"1st/15th: the last day", Semi("Twice - 1st, 15th", 0), DATE(3, 31, 2025), 0},
      {"1st/15th: the 16th", Semi("Twice - 1st, 15th", 0), DATE(3, 16, 2025), 0},
      {"15th/last: the 1st", Semi("Twice - 15th, Last", 0), DATE(3, 1, 2025), 0},
      {"15th/last: 28 February", Semi("Twice - 15th, Last", 0), DATE(2, 28, 2025), 1},
      {"15th/last +2: the 17th", Semi("Twice - 15th, Last", 2), DATE(3, 17, 2025), 1},
      {"15th/last +2: two days after the last", Semi("Twice - 15th, Last", 2), DATE(4, 2, 2025), 1},
      {"15th/last +2: the 3rd", Semi("Twice - 15th, Last", 2), DATE(4, 3, 2025), 0},
      {"15th/last -1: the 14th", Semi("TWICE - 15TH, LAST", -1), DATE(4, 14, 2025), 1},
      {"weekday: Monday", monday, mon_1st, 1},
      {"weekday: Tuesday", monday, mon_1st + 1, 0},
      {"1st Monday on the 1st", MonthDays({kMon}, true, false), mon_1st, 1},
      {"1st Monday: the 8th", MonthDays({kMon}, true, false), mon_1st + 7, 0},
      {"1st Monday: a Tuesday", MonthDays({kTue}, true, false), mon_1st, 0},
      {"last Monday on the last day", MonthDays({kMon}, false, true), DATE(6, 30, 2025), 1},
      {"last Monday a week before the end", MonthDays({kMon}, false, true), DATE(6, 23, 2025), 0},
      {"no weekday ticked", MonthDays({}, true, true), mon_1st, 0},
      {"no week ticked", MonthDays({kMon}, false, false), mon_1st, 0},
      {"month end: 28 February 2025", MonthDays({kMon}, true, false, true), DATE(2, 28, 2025), 1},
      {"month end: 29 February 2024", MonthDays({}, false, false, true), DATE(2, 29, 2024), 1},
      {"month end: 28 February 2024", MonthDays({kWed}, true, true, true), DATE(2, 28, 2024), 0},
      {"month end: 31 December", MonthDays({}, false, false, true), DATE(12, 31, 2025), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SCH = c.task;
    EXPECT_EQ(DateFitsSchedule(c.date), c.fits);
  }
}

TEST_F(DateFitsScheduleTest, NoWeekdayTickedFitsNoDay) {
  SCH = MakeTask("Day of Week", 0, 0);
  for (std::int32_t d = DATE(1, 1, 2025); d < DATE(1, 8, 2025); ++d)
    EXPECT_EQ(DateFitsSchedule(d), 0);
}

TEST_F(DateFitsScheduleTest, MonthEndFitsOnlyTheLastDayOfFebruary) {
  SCH = MonthDays({kSun, kMon, kTue, kWed, kThu, kFri, kSat}, true, true, true);
  for (int year : {2024, 2025}) {
    for (std::int32_t d = DATE(2, 1, year); d < DATE(3, 1, year); ++d) {
      EXPECT_EQ(DateFitsSchedule(d), d == DATE(3, 1, year) - 1 ? 1 : 0) << DAY(d) << "/" << year;
    }
  }
}

TEST_F(DateFitsScheduleTest, DateZeroStandsForTheTasksDate) {
  SCH = MakeTask("Day of Week", DATE(9, 1, 2025), 0);  // a Monday
  SetWeekdays(SCH, {kMon});
  EXPECT_EQ(DateFitsSchedule(0), 1);
  SCH.Date += 1;
  EXPECT_EQ(DateFitsSchedule(0), 0);
}

}  // namespace
}  // namespace vx
