#include <string>
#include <vector>

#include "program/recurrence/recurrence.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using namespace vx::test;

constexpr std::int32_t T(int h, int m) { return MakeTime(h, m); }

SCHEDULE_RECORD DayOfWeek(std::initializer_list<int> days, std::int32_t date, std::int32_t time) {
  SCHEDULE_RECORD task = MakeTask("Day of Week", date, time);
  SetWeekdays(task, days);
  return task;
}

SCHEDULE_RECORD SemiMonthly(const char* repeat, std::int32_t offset, std::int32_t date,
                            std::int32_t time) {
  SCHEDULE_RECORD task = MakeTask("Monthly", date, time);
  task.MonthRepeat = repeat;
  task.Offset = offset;
  return task;
}

// weeks: any of "1234L" for the 1st .. 4th and last week of the month.
SCHEDULE_RECORD DayOfMonth(std::initializer_list<int> days, std::string_view weeks,
                           std::int32_t date, std::int32_t time) {
  SCHEDULE_RECORD task = MakeTask("Day of Month", date, time);
  SetWeekdays(task, days);
  task.Every1st = weeks.find('1') != std::string_view::npos;
  task.Every2nd = weeks.find('2') != std::string_view::npos;
  task.Every3rd = weeks.find('3') != std::string_view::npos;
  task.Every4th = weeks.find('4') != std::string_view::npos;
  task.EveryLast = weeks.find('L') != std::string_view::npos;
  return task;
}

SCHEDULE_RECORD MonthEnd(std::int32_t date, std::int32_t time) {
  SCHEDULE_RECORD task = DayOfMonth({kMon}, "1", date, time);  // other switches do not count
  task.LastDayOfMonth = 1;
  return task;
}

SCHEDULE_RECORD Expiring(SCHEDULE_RECORD task, std::int32_t date, std::int32_t time) {
  task.ExpiryDate = date;
  task.ExpiryTime = time;
  return task;
}

struct NextRunCase {
  std::string name;
  SCHEDULE_RECORD task;
  std::int32_t ref_date, ref_time;
  std::int32_t want_date, want_time;
  int want_completed = 0;
};

class ComputeNextRunTest : public ScheduleTest {};

TEST_F(ComputeNextRunTest, EveryRuleAndUnit) {
  const std::int32_t D = DATE(6, 16, 2025);  // a Monday
  ASSERT_EQ(WeekDay(D), kMon);
  const std::int32_t TEN_YEARS_BACK = DATE(6, 16, 2015);

  const std::vector<NextRunCase> cases = {
      // Day of Week: the occurrence must lie more than one minute after the reference.
      {"weekday at the reference", DayOfWeek({kMon, kThu}, D, T(9, 0)), D, T(9, 0), D + 3, T(9, 0)},
      {"weekday a minute before", DayOfWeek({kMon, kThu}, D, T(9, 0)), D, T(8, 59), D + 3, T(9, 0)},
      {"weekday just over a minute before", DayOfWeek({kMon, kThu}, D, T(9, 0)), D, T(8, 59) - 1, D,
       T(9, 0)},
      {"weekday without a ticked day", DayOfWeek({}, D, T(9, 0)), D, T(9, 0), D + 1, T(9, 0)},
      {"weekday ten years behind", DayOfWeek({kWed}, TEN_YEARS_BACK, T(9, 0)), D, T(12, 0), D + 2,
       T(9, 0)},
      // Minutes and hours: past the reference itself, carrying into the next day.
      {"90 minutes over midnight", EveryTask(90, "minute(s)", D, T(23, 0)), D, T(23, 0), D + 1,
       T(0, 30)},
      {"2000 minutes is a day and 560 minutes", EveryTask(2000, "minute(s)", D, T(10, 0)), D - 1,
       T(0, 0), D + 1, T(19, 20)},
      {"one minute, ten years behind", EveryTask(1, "minute(s)", TEN_YEARS_BACK, T(10, 0)), D,
       T(12, 34) + 5678, D, T(12, 35)},
      {"one minute, reference on the minute", EveryTask(1, "Minutes", D - 1, T(10, 0)), D,
       T(12, 34), D, T(12, 35)},
      {"minute step taken even when ahead", EveryTask(5, "minute(s)", D + 3, T(10, 0)), D, T(9, 0),
       D + 3, T(10, 5)},
      {"25 hours is a day and an hour", EveryTask(25, "hour(s)", D, T(10, 0)), D, T(10, 0), D + 1,
       T(11, 0)},
      {"two hours, ten years behind", EveryTask(2, "HOURS", TEN_YEARS_BACK, T(1, 0)), D, T(12, 0),
       D, T(13, 0)},
      // Days, weeks, months and years: whole steps from the stored date.
      {"every 3 days", EveryTask(3, "day(s)", D, T(9, 0)), D + 10, T(12, 0), D + 12, T(9, 0)},
      {"every 3 days, landing on the reference day", EveryTask(3, "day(s)", D, T(9, 0)), D + 9,
       T(8, 0), D + 9, T(9, 0)},
      {"every 2 weeks", EveryTask(2, "week(s)", D, T(9, 0)), D + 20, 0, D + 28, T(9, 0)},
      {"every 2 weeks, ten years behind", EveryTask(2, "week(s)", D - 14 * 261, T(9, 0)), D,
       T(12, 0), D + 14, T(9, 0)},
      {"every month rolls 31 January", EveryTask(1, "month(s)", DATE(1, 31, 2025), T(9, 0)),
       DATE(2, 1, 2025), 0, DATE(3, 3, 2025), T(9, 0)},
      {"every 3 months, ten years behind", EveryTask(3, "month(s)", DATE(1, 10, 2015), T(9, 0)), D,
       T(12, 0), DATE(7, 10, 2025), T(9, 0)},
      {"every 2 years from 29 February", EveryTask(2, "year(s)", DATE(2, 29, 2024), T(9, 0)),
       DATE(3, 1, 2024), 0, DATE(3, 1, 2026), T(9, 0)},
      // Plain Monthly keeps the drift of a rolled day.
      {"monthly 31 January, common year", MakeTask("Monthly", DATE(1, 31, 2025), T(9, 0)),
       DATE(2, 1, 2025), 0, DATE(3, 3, 2025), T(9, 0)},
      {"monthly 31 January, leap year", MakeTask("Monthly", DATE(1, 31, 2024), T(9, 0)),
       DATE(2, 1, 2024), 0, DATE(3, 2, 2024), T(9, 0)},
      {"monthly keeps the 3rd", MakeTask("Monthly", DATE(3, 3, 2025), T(9, 0)), DATE(3, 4, 2025), 0,
       DATE(4, 3, 2025), T(9, 0)},
      {"monthly ten years behind", MakeTask("Monthly", DATE(1, 31, 2015), T(9, 0)), D, T(12, 0),
       DATE(7, 3, 2025), T(9, 0)},
      {"monthly already ahead stays", MakeTask("Monthly", D + 40, T(9, 0)), D, T(12, 0), D + 40,
       T(9, 0)},
      // Yearly: 29 February becomes 1 March and stays there.
      {"yearly from 29 February", MakeTask("Yearly", DATE(2, 29, 2024), T(9, 0)), DATE(2, 29, 2024),
       T(12, 0), DATE(3, 1, 2025), T(9, 0)},
      {"yearly from 1 March", MakeTask("Yearly", DATE(3, 1, 2025), T(9, 0)), DATE(3, 1, 2025),
       T(12, 0), DATE(3, 1, 2026), T(9, 0)},
      // Semi-monthly.
      {"1st and 15th: 15th to 1st", SemiMonthly("Twice - 1st, 15th", 0, DATE(6, 15, 2025), T(9, 0)),
       DATE(6, 15, 2025), T(12, 0), DATE(7, 1, 2025), T(9, 0)},
      {"1st and 15th: 1st to 15th", SemiMonthly("Twice - 1st, 15th", 0, DATE(7, 1, 2025), T(9, 0)),
       DATE(7, 1, 2025), T(12, 0), DATE(7, 15, 2025), T(9, 0)},
      {"15th and last: 15th to last",
       SemiMonthly("Twice - 15th, Last", 0, DATE(6, 15, 2025), T(9, 0)), DATE(6, 15, 2025),
       T(12, 0), DATE(6, 30, 2025), T(9, 0)},
      {"15th and last: last to 15th",
       SemiMonthly("Twice - 15th, Last", 0, DATE(6, 30, 2025), T(9, 0)), DATE(6, 30, 2025),
       T(12, 0), DATE(7, 15, 2025), T(9, 0)},
      {"15th and last, offset 2: 17th",
       SemiMonthly("Twice - 15th, Last", 2, DATE(1, 17, 2025), T(9, 0)), DATE(1, 17, 2025),
       T(12, 0), DATE(2, 2, 2025), T(9, 0)},
      {"15th and last, offset 2: 2nd",
       SemiMonthly("Twice - 15th, Last", 2, DATE(2, 2, 2025), T(9, 0)), DATE(2, 2, 2025), T(12, 0),
       DATE(2, 17, 2025), T(9, 0)},
      {"15th and last, offset -2: 13th",
       SemiMonthly("Twice - 15th, Last", -2, DATE(2, 13, 2025), T(9, 0)), DATE(2, 13, 2025),
       T(12, 0), DATE(2, 26, 2025), T(9, 0)},
      {"month repeat read in any case",
       SemiMonthly("twice - 15th, last", 0, DATE(2, 15, 2024), T(9, 0)), DATE(2, 15, 2024),
       T(12, 0), DATE(2, 29, 2024), T(9, 0)},
      {"1st and 15th, ten years behind",
       SemiMonthly("Twice - 1st, 15th", 0, DATE(1, 1, 2015), T(9, 0)), D, T(12, 0),
       DATE(7, 1, 2025), T(9, 0)},
      {"15th and last, ten years behind",
       SemiMonthly("Twice - 15th, Last", 3, DATE(1, 18, 2015), T(9, 0)), D, T(12, 0),
       DATE(6, 18, 2025), T(9, 0)},
      // Day of Month: dates only, at least one day stepped.
      {"1st Monday, next month's is the 1st", DayOfMonth({kMon}, "1", DATE(8, 4, 2025), T(9, 0)),
       DATE(8, 10, 2025), 0, DATE(9, 1, 2025), T(9, 0)},
      {"last Friday", DayOfMonth({kFri}, "L", DATE(5, 30, 2025), T(9, 0)), DATE(5, 30, 2025), 0,
       DATE(6, 27, 2025), T(9, 0)},
      {"3rd Monday, later time same day", DayOfMonth({kMon}, "3", D, T(23, 0)), D, T(9, 0),
       DATE(7, 21, 2025), T(23, 0)},
      {"2nd and 4th Tuesday, Thursday", DayOfMonth({kTue, kThu}, "24", D, T(9, 0)), D, T(9, 0),
       DATE(6, 24, 2025), T(9, 0)},
      {"weeks without weekdays: any day of week 2", DayOfMonth({}, "2", D, T(9, 0)), D, 0,
       DATE(7, 8, 2025), T(9, 0)},
      {"weekdays without weeks: next ticked day", DayOfMonth({kFri}, "", D, T(9, 0)), D, 0, D + 4,
       T(9, 0)},
      {"1st Sunday, ten years behind", DayOfMonth({kSun}, "1", TEN_YEARS_BACK, T(9, 0)), D, 0,
       DATE(7, 6, 2025), T(9, 0)},
      {"month end", MonthEnd(DATE(1, 31, 2025), T(9, 0)), DATE(1, 31, 2025), T(12, 0),
       DATE(2, 28, 2025), T(9, 0)},
      {"month end, leap February", MonthEnd(DATE(1, 31, 2024), T(9, 0)), DATE(1, 31, 2024),
       T(12, 0), DATE(2, 29, 2024), T(9, 0)},
      {"month end, ten years behind", MonthEnd(DATE(1, 31, 2015), T(9, 0)), D, T(12, 0),
       DATE(6, 30, 2025), T(9, 0)},
      {"month end ahead of the reference", MonthEnd(DATE(6, 30, 2025), T(9, 0)), D, T(12, 0),
       DATE(7, 31, 2025), T(9, 0)},
      // The end moment.
      {"past the end moment", Expiring(DayOfWeek({kMon, kThu}, D, T(9, 0)), D + 3, T(8, 0)), D,
       T(9, 0), D + 3, T(9, 0), 1},
      {"at the end moment", Expiring(DayOfWeek({kMon, kThu}, D, T(9, 0)), D + 3, T(9, 0)), D,
       T(9, 0), D + 3, T(9, 0), 0},
      {"end date without end time", Expiring(DayOfWeek({kMon, kThu}, D, T(9, 0)), D, 0), D, T(9, 0),
       D + 3, T(9, 0), 0},
      {"end time without end date", Expiring(DayOfWeek({kMon, kThu}, D, T(9, 0)), 0, T(1, 0)), D,
       T(9, 0), D + 3, T(9, 0), 0},
      // One-time tasks are done; tasks that run off the calendar have no next run.
      {"once", MakeTask("Once", D, T(9, 0)), D + 5, 0, D, T(9, 0), 1},
      {"yearly in 9999", MakeTask("Yearly", DATE(6, 1, 9999), T(9, 0)), DATE(6, 1, 9999), T(12, 0),
       DATE(6, 1, 9999), T(9, 0), 1},
      {"huge day interval", EveryTask(1000000000, "day(s)", D, T(9, 0)), D, T(12, 0), D, T(9, 0),
       1},
      {"huge hour interval", EveryTask(2000000000, "hour(s)", D, T(9, 0)), D, T(12, 0), D, T(9, 0),
       1},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SCH = c.task;
    ComputeNextRun(c.ref_date, c.ref_time);
    EXPECT_EQ(SCH.Date, c.want_date) << "got " << SCH.Date - D << " days from D";
    EXPECT_EQ(SCH.Time, c.want_time);
    EXPECT_EQ(SCH.Completed, c.want_completed);
  }
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ComputeNextRunTest, IntervalBelowOneIsRaisedAndStored) {
  const std::int32_t d = DATE(6, 16, 2025);
  SCH = EveryTask(0, "day(s)", d, MakeTime(9, 0));
  ComputeNextRun(d, MakeTime(12, 0));
  EXPECT_EQ(SCH.Every, 1);
  EXPECT_EQ(SCH.Date, d + 1);
  SCH = EveryTask(-4, "hour(s)", d, MakeTime(9, 0));
  ComputeNextRun(d, MakeTime(9, 0));
  EXPECT_EQ(SCH.Every, 1);
  EXPECT_EQ(SCH.Time, MakeTime(10, 0));
}

TEST_F(ComputeNextRunTest, UnknownUnitShowsInvalidUnitsAndMovesPastTheReference) {
  const std::int32_t d = DATE(6, 16, 2025);
  SCH = EveryTask(2, "fortnight(s)", d - 5, MakeTime(9, 0));
  ComputeNextRun(d, MakeTime(12, 0));
  EXPECT_EQ(SCH.Date, d + 1);
  EXPECT_EQ(SCH.Time, MakeTime(9, 0));
  EXPECT_EQ(SCH.Completed, 0);
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].first, "Custom repetition is not set up properly.  Select units.");
  EXPECT_EQ(fake.messages[0].second, "Invalid Units");

  // A date already after the reference stays; the message is shown all the same.
  SCH = EveryTask(2, "", d + 5, MakeTime(9, 0));
  ComputeNextRun(d, MakeTime(12, 0));
  EXPECT_EQ(SCH.Date, d + 5);
  EXPECT_EQ(fake.messages.size(), 2u);
}

TEST_F(ComputeNextRunTest, AnEmptyTypeIsStepped) {
  // Types other than the five named ones follow the "Every..." rule.
  const std::int32_t d = DATE(6, 16, 2025);
  SCH = EveryTask(1, "week(s)", d, MakeTime(9, 0));
  SCH.ScheduleType = "";
  ComputeNextRun(d, MakeTime(9, 0));
  EXPECT_EQ(SCH.Date, d + 7);
}

}  // namespace
}  // namespace vx
