#include <string>
#include <vector>

#include "program/recurrence/recurrence.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using namespace vx::test;

constexpr std::int32_t T(int h, int m) { return MakeTime(h, m); }

class TaskExceptionsTest : public ScheduleTest {
 protected:
  const std::int32_t mon = DATE(6, 16, 2025);
  const std::int32_t fri = mon + 4;
  const std::int32_t sat = mon + 5;
  const std::int32_t next_mon = mon + 7;

  // A weekly task (id 7) on the given date, already stored in the task table.
  void StoreWeeklyTask(std::int32_t date) { StoreTask(EveryTask(1, "week(s)", date, T(9, 0))); }

  // The task as id 7, in the buffer and in the task table.
  void StoreTask(SCHEDULE_RECORD task) {
    SCH = task;
    SCH.ID = 7;
    fake.tasks[7] = SCH;
  }
};

// The task with an excepted time window from begin to end.
SCHEDULE_RECORD InWindow(SCHEDULE_RECORD task, std::int32_t begin, std::int32_t end) {
  task.ExceptTime = 1;
  task.ExceptTimeBegin = begin;
  task.ExceptTimeEnd = end;
  return task;
}

struct ShiftCase {
  std::string name;
  const char* shift;
  std::int32_t copy_offset;  // from Saturday; 0 = no copy
};

TEST_F(TaskExceptionsTest, WeekendOccurrenceIsSkippedOrShiftedByAcopy) {
  const std::vector<ShiftCase> cases = {
      {"next day", "Next day", 2},
      {"previous day", "Previous day", -1},
      {"skip", "Skip (to next valid day)", 0},
      {"no shift type", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake.tasks.clear();
    fake.puts = 0;
    StoreWeeklyTask(sat);
    SCH.ExceptWeekends = 1;
    SCH.ShiftType = c.shift;

    EXPECT_EQ(ApplyTaskExceptions(), 1);
    // The task itself keeps its excepted date, marked to be skipped, and is stored.
    EXPECT_EQ(SCH.ID, 7);
    EXPECT_EQ(SCH.Date, sat);
    EXPECT_EQ(SCH.SkipNextTime, 1);
    EXPECT_EQ(fake.tasks[7].SkipNextTime, 1);
    EXPECT_EQ(fake.tasks[7].Date, sat);
    if (c.copy_offset == 0) {
      EXPECT_EQ(fake.tasks.size(), 1u);
      EXPECT_EQ(SCH.ExceptionLink, 0);
      EXPECT_EQ(fake.puts, 1);
      continue;
    }
    ASSERT_EQ(fake.tasks.size(), 2u);
    const SCHEDULE_RECORD& copy = fake.tasks[8];
    EXPECT_EQ(SCH.ExceptionLink, 8);
    EXPECT_EQ(fake.tasks[7].ExceptionLink, 8);
    EXPECT_EQ(copy.ScheduleType, "Once");
    EXPECT_EQ(copy.Date, sat + c.copy_offset);
    EXPECT_EQ(copy.Time, T(9, 0));
    EXPECT_EQ(copy.SkipNextTime, 0);
    EXPECT_EQ(copy.ExceptionLink, 0);
  }
}

TEST_F(TaskExceptionsTest, ShiftSkipsHolidaysAndKeepsTheOldCopy) {
  StoreWeeklyTask(sat);
  SCH.ExceptWeekends = 1;
  SCH.ExceptHolidays = 1;
  SCH.ShiftType = "Next day";
  SCH.ExceptionLink = 3;
  fake.tasks[7] = SCH;
  fake.tasks[3] = MakeTask("Once", sat - 7, T(9, 0));  // the copy of an earlier shift
  fake.tasks[3].ID = 3;
  fake.holidays = {next_mon};  // the Monday after is a holiday

  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.ExceptionLink, 8);
  EXPECT_EQ(fake.tasks[8].Date, next_mon + 1);  // Sunday and the Monday holiday passed over
  EXPECT_EQ(fake.tasks.count(3), 1u);
}

TEST_F(TaskExceptionsTest, WhichDaysAreExcepted) {
  struct DayCase {
    std::string name;
    std::int32_t date;
    std::uint8_t weekends, weekdays, holidays;
    const char* other;
    bool holiday_listed;
    bool excepted;
  };
  const std::vector<DayCase> cases = {
      {"weekend on Saturday", sat, 1, 0, 0, "", false, true},
      {"weekend on Sunday", sat + 1, 1, 0, 0, "", false, true},
      {"weekend on Friday", fri, 1, 0, 0, "", false, false},
      {"weekdays on Monday", mon, 0, 1, 0, "", false, true},
      {"weekdays on Saturday", sat, 0, 1, 0, "", false, false},
      {"weekends win over weekdays", mon, 1, 1, 0, "", false, false},
      {"holiday listed", mon, 0, 0, 1, "", true, true},
      {"holiday not listed", mon + 1, 0, 0, 1, "", true, false},
      {"no holidays at all", mon, 0, 0, 1, "", false, false},
      {"Tuesday override", mon + 1, 0, 0, 0, "  Y    ", false, true},
      {"Tuesday override on Monday", mon, 0, 0, 0, "  Y    ", false, false},
      {"override needs a capital Y", mon + 1, 0, 0, 0, "  y    ", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake.tasks.clear();
    fake.puts = 0;
    fake.holidays.clear();
    if (c.holiday_listed) fake.holidays = {mon};
    StoreWeeklyTask(c.date);
    SCH.ExceptWeekends = c.weekends;
    SCH.ExceptWeekdays = c.weekdays;
    SCH.ExceptHolidays = c.holidays;
    SCH.ExceptOther = c.other;
    EXPECT_EQ(ApplyTaskExceptions(), c.excepted ? 1 : 0);
    EXPECT_EQ(SCH.SkipNextTime, c.excepted ? 1 : 0);
    EXPECT_EQ(fake.puts, c.excepted ? 1 : 0);
    if (c.weekends) {
      EXPECT_EQ(SCH.ExceptWeekdays, 0);
    }
  }
}

TEST_F(TaskExceptionsTest, SearchGivesUpAfter366Days) {
  StoreWeeklyTask(mon);
  SCH.ExceptOther = "YYYYYYY";
  SCH.ShiftType = "Next day";
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(fake.tasks[8].Date, mon + 366);
}

TEST_F(TaskExceptionsTest, OnceAndDayOfWeekLoseTheirExceptions) {
  for (const char* type : {"Once", "Day of Week"}) {
    SCOPED_TRACE(type);
    SCH = MakeTask(type, sat, T(9, 0));
    SCH.ExceptWeekends = 1;
    SCH.ExceptWeekdays = 1;
    SCH.ExceptHolidays = 1;
    SCH.ExceptTime = 1;
    SCH.ExceptTimeBegin = T(8, 0);
    SCH.ExceptTimeEnd = T(10, 0);
    SCH.ExceptOther = "Y";
    EXPECT_EQ(ApplyTaskExceptions(), 0);
    EXPECT_EQ(SCH.ExceptWeekends + SCH.ExceptWeekdays + SCH.ExceptHolidays + SCH.ExceptTime, 0);
    EXPECT_EQ(SCH.ExceptTimeBegin, 0);
    EXPECT_EQ(SCH.ExceptTimeEnd, 0);
    EXPECT_TRUE(SCH.ExceptOther.blank());
    EXPECT_EQ(SCH.Date, sat);
    EXPECT_EQ(SCH.SkipNextTime, 0);
  }
  EXPECT_EQ(fake.puts, 0);
}

TEST_F(TaskExceptionsTest, WithoutExceptionsNothingIsStored) {
  StoreWeeklyTask(sat);
  EXPECT_EQ(ApplyTaskExceptions(), 0);
  EXPECT_EQ(fake.puts, 0);
}

TEST_F(TaskExceptionsTest, TimeWindowAcrossMidnight) {
  StoreTask(InWindow(EveryTask(1, "hour(s)", mon, T(23, 0)), T(22, 0), T(6, 0)));
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.Date, mon + 1);
  EXPECT_EQ(SCH.Time, T(6, 0));
  EXPECT_EQ(fake.puts, 1);
  EXPECT_EQ(fake.tasks[7].Time, T(6, 0));
}

TEST_F(TaskExceptionsTest, TimeOutsideTheWindowStays) {
  // No end: the window runs to midnight, and says so in the record.
  SCH = InWindow(EveryTask(1, "hour(s)", mon, T(12, 0)), T(22, 0), 0);
  EXPECT_EQ(ApplyTaskExceptions(), 0);
  EXPECT_EQ(SCH.Time, T(12, 0));
  EXPECT_EQ(SCH.ExceptTimeEnd, TIME_DAY);
  EXPECT_EQ(fake.puts, 0);
}

TEST_F(TaskExceptionsTest, WindowNoOccurrenceCanLeaveIsPinnedToItsEnd) {
  SCH = InWindow(EveryTask(1, "day(s)", mon, T(10, 0)), T(9, 0), T(11, 0));
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.Date, mon + 1);
  EXPECT_EQ(SCH.Time, T(11, 0));

  // At or after the window's end (here a window across midnight) the next run is looked for
  // from the following day.
  SCH = InWindow(EveryTask(1, "day(s)", mon, T(23, 0)), T(22, 0), T(6, 0));
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.Date, mon + 1);
  EXPECT_EQ(SCH.Time, T(6, 0));
}

TEST_F(TaskExceptionsTest, WrongUnitInAWindowWarnsOnce) {
  SCH = InWindow(EveryTask(1, "fortnight", mon, T(10, 0)), T(9, 0), T(11, 0));
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(SCH.Time, T(11, 0));
}

TEST_F(TaskExceptionsTest, TimeStepThenDayStep) {
  // Friday 23:00 leaves the night window on Saturday 06:00, which the weekend rule then skips.
  StoreTask(InWindow(EveryTask(1, "hour(s)", fri, T(23, 0)), T(22, 0), T(6, 0)));
  SCH.ExceptWeekends = 1;
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.Date, sat);
  EXPECT_EQ(SCH.Time, T(6, 0));
  EXPECT_EQ(SCH.SkipNextTime, 1);
  EXPECT_EQ(fake.puts, 1);
}

TEST_F(TaskExceptionsTest, ShiftOfATaskNotYetStoredKeepsTheTaskInTheBuffer) {
  // A new task (not in the file yet) still ends with itself in the buffer, linked to its copy.
  SCH = EveryTask(1, "week(s)", sat, T(9, 0));
  SCH.ID = 42;
  SCH.ExceptWeekends = 1;
  SCH.ShiftType = "Next day";
  fake.tasks[5] = MakeTask("Once", mon, T(9, 0));
  fake.tasks[5].ID = 5;
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.ID, 42);
  EXPECT_EQ(SCH.Date, sat);
  EXPECT_EQ(SCH.ScheduleType, "Custom");
  EXPECT_EQ(SCH.ExceptionLink, 6);
  EXPECT_EQ(fake.tasks.count(42), 0u);
}

}  // namespace
}  // namespace vx
