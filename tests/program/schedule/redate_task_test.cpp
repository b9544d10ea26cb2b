// Re-dating one task: the step back before the chosen moment followed by the next-run
// computation lands every kind of rule on its first occurrence after the moment, however far
// ahead or behind the task was dated; the tasks that are not re-dated keep their dates.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "program/due_tasks/reschedule_all_tasks.h"
#include "program/recurrence/step_back.h"
#include "runtime/pictures.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using test::EveryTask;
using test::MakeTask;
using test::SetWeekdays;

class RedateTaskTest : public test::ScheduleTest {};

// Wednesday 17 June 2026, 08:00.
const std::int32_t kRefDate = DATE(6, 17, 2026);
const std::int32_t kRefTime = MakeTime(8, 0);

struct Case {
  std::string name;
  SCHEDULE_RECORD task;
  std::int32_t date;
  std::int32_t time;
};

SCHEDULE_RECORD With(SCHEDULE_RECORD task, void (*change)(SCHEDULE_RECORD&)) {
  change(task);
  return task;
}

TEST_F(RedateTaskTest, LandsOnTheFirstOccurrenceAfterTheMoment) {
  const std::int32_t nine = MakeTime(9, 0);
  const Case cases[] = {
      {"daily, ten days ahead", EveryTask(1, "day(s)", DATE(6, 27, 2026), nine), DATE(6, 17, 2026),
       nine},
      {"daily, behind", EveryTask(1, "day(s)", DATE(6, 1, 2026), nine), DATE(6, 17, 2026), nine},
      {"daily, time just past the moment",
       EveryTask(1, "day(s)", DATE(6, 20, 2026), MakeTime(8, 0, 30)), DATE(6, 18, 2026),
       MakeTime(8, 0, 30)},
      {"fortnightly keeps its grid", EveryTask(2, "week(s)", DATE(7, 6, 2026), MakeTime(10, 0)),
       DATE(6, 22, 2026), MakeTime(10, 0)},
      {"every 90 minutes keeps its grid",
       EveryTask(90, "minute(s)", DATE(6, 20, 2026), MakeTime(12, 0)), DATE(6, 17, 2026),
       MakeTime(9, 0)},
      {"every 3 hours", EveryTask(3, "hour(s)", DATE(6, 19, 2026), MakeTime(7, 0)),
       DATE(6, 17, 2026), MakeTime(10, 0)},
      {"every minute, dated in the year 9000",
       EveryTask(1, "minute(s)", DATE(1, 1, 9000), MakeTime(12, 0)), DATE(6, 17, 2026),
       MakeTime(8, 1)},
      {"daily, dated in the year 9000", EveryTask(1, "day(s)", DATE(1, 1, 9000), nine),
       DATE(6, 17, 2026), nine},
      {"every 2 months", EveryTask(2, "month(s)", DATE(12, 5, 2026), nine), DATE(8, 5, 2026), nine},
      {"every year", EveryTask(1, "year(s)", DATE(3, 1, 2030), nine), DATE(3, 1, 2027), nine},
      {"monthly", MakeTask("Monthly", DATE(9, 15, 2026), nine), DATE(7, 15, 2026), nine},
      {"monthly, later the same month", MakeTask("Monthly", DATE(10, 20, 2026), nine),
       DATE(6, 20, 2026), nine},
      {"yearly", MakeTask("Yearly", DATE(3, 1, 2030), nine), DATE(3, 1, 2027), nine},
      {"twice a month, 1st and 15th",
       With(MakeTask("Monthly", DATE(9, 15, 2026), nine),
            [](SCHEDULE_RECORD& t) { t.MonthRepeat = "Twice - 1st, 15th"; }),
       DATE(7, 1, 2026), nine},
      {"twice a month, 15th and last",
       With(MakeTask("Monthly", DATE(9, 30, 2026), nine),
            [](SCHEDULE_RECORD& t) { t.MonthRepeat = "Twice - 15th, Last"; }),
       DATE(6, 30, 2026), nine},
      {"Friday, weeks later",
       With(MakeTask("Day of Week", DATE(7, 31, 2026), nine),
            [](SCHEDULE_RECORD& t) { SetWeekdays(t, {test::kFri}); }),
       DATE(6, 19, 2026), nine},
      {"Wednesday, the moment's own day",
       With(MakeTask("Day of Week", DATE(7, 29, 2026), nine),
            [](SCHEDULE_RECORD& t) { SetWeekdays(t, {test::kWed}); }),
       DATE(6, 17, 2026), nine},
      {"second Tuesday of the month",
       With(MakeTask("Day of Month", DATE(12, 8, 2026), nine),
            [](SCHEDULE_RECORD& t) {
              SetWeekdays(t, {test::kTue});
              t.Every2nd = 1;
            }),
       DATE(7, 14, 2026), nine},
      {"month end",
       With(MakeTask("Day of Month", DATE(10, 31, 2026), nine),
            [](SCHEDULE_RECORD& t) { t.LastDayOfMonth = 1; }),
       DATE(6, 30, 2026), nine},
  };
  for (const Case& c : cases) {
    SCH = c.task;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(RedateTask(kRefDate, kRefTime)) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << c.name;
    EXPECT_EQ(SCH.Date, c.date) << c.name << ": " << FORMAT(SCH.Date, "@D10");
    EXPECT_EQ(SCH.Time, c.time) << c.name << ": " << FORMAT(SCH.Time, "@T4");
    EXPECT_EQ(SCH.Completed, 0) << c.name;
  }
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(RedateTaskTest, TasksThatAreNotRedatedKeepTheirDates) {
  const std::int32_t date = DATE(9, 15, 2026), nine = MakeTime(9, 0);
  const Case cases[] = {
      {"completed",
       With(EveryTask(1, "day(s)", date, nine), [](SCHEDULE_RECORD& t) { t.Completed = 1; }), date,
       nine},
      {"hot key",
       With(EveryTask(1, "day(s)", date, nine), [](SCHEDULE_RECORD& t) { t.TaskType = "Hot Key"; }),
       date, nine},
      {"one-time", MakeTask("Once", date, nine), date, nine},
      {"no date", EveryTask(1, "day(s)", 0, nine), 0, nine},
      {"no time", EveryTask(1, "day(s)", date, 0), date, 0},
  };
  for (const Case& c : cases) {
    SCH = c.task;
    EXPECT_FALSE(RedateTask(kRefDate, kRefTime)) << c.name;
    EXPECT_EQ(SCH.Date, c.date) << c.name;
    EXPECT_EQ(SCH.Time, c.time) << c.name;
    EXPECT_EQ(SCH.Completed, c.task.Completed) << c.name;
  }
}

TEST_F(RedateTaskTest, UnknownUnitIsAnnouncedOnceAndMovesPastTheMoment) {
  SCH = EveryTask(1, "fortnights", DATE(6, 30, 2026), MakeTime(9, 0));
  EXPECT_TRUE(RedateTask(kRefDate, kRefTime));
  EXPECT_EQ(SCH.Date, kRefDate + 1);
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].first, "Custom repetition is not set up properly.  Select units.");
  EXPECT_EQ(fake.messages[0].second, "Invalid Units");
}

TEST_F(RedateTaskTest, StepBackAloneStopsBeforeTheMomentLessAMinute) {
  // Every third day: 07:59:30 is not before 07:59, so the 17th itself is too late; 07:58 is.
  SCH = EveryTask(3, "day(s)", DATE(6, 26, 2026), MakeTime(7, 59, 30));
  StepBackBeforeMoment(kRefDate, kRefTime);
  EXPECT_EQ(SCH.Date, DATE(6, 14, 2026));
  SCH = EveryTask(3, "day(s)", DATE(6, 26, 2026), MakeTime(7, 58));
  StepBackBeforeMoment(kRefDate, kRefTime);
  EXPECT_EQ(SCH.Date, DATE(6, 17, 2026));
  // Minute and hour intervals stop before the moment itself.
  SCH = EveryTask(1, "hour(s)", DATE(6, 18, 2026), MakeTime(7, 59, 30));
  StepBackBeforeMoment(kRefDate, kRefTime);
  EXPECT_EQ(SCH.Date, DATE(6, 17, 2026));
  EXPECT_EQ(SCH.Time, MakeTime(7, 59, 30));
  SCH = MakeTask("Once", DATE(6, 26, 2026), MakeTime(9, 0));
  StepBackBeforeMoment(kRefDate, kRefTime);
  EXPECT_EQ(SCH.Completed, 1);
  EXPECT_EQ(SCH.Date, DATE(6, 26, 2026));
}

}  // namespace
}  // namespace vx
