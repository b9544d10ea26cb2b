// The exceptions on the real task and holiday tables: the skipped occurrence and the linked
// one-time copy are what the SCHEDULE file holds afterwards.
#include <gtest/gtest.h>

#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/test_support.h"
#include "program/due_tasks/table_schedule_services.h"
#include "program/recurrence/recurrence.h"
#include "runtime/dates.h"

namespace vx {
namespace {

// The table services with the history-copy routine stood in for: the buffer is added as a new
// task under the next number.
class TestTableServices : public TableScheduleServices {
 public:
  void AddTaskCopy() override {
    SCH.ID = 0;
    ACCESS_SCHEDULE->Insert();
  }
  void ShowMessage(std::string_view, std::string_view) override {}
  std::string FormatDate(std::int32_t) override { return {}; }
};

class ExceptionsOnTables : public ::testing::Test {
 protected:
  void SetUp() override {
    VX_Files_Load();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ASSERT_EQ(ACCESS_HOLIDAYS->Open(), 0);
  }
  void TearDown() override {
    ACCESS_HOLIDAYS->Close();
    ACCESS_SCHEDULE->Close();
    VX_Files_Unload();
  }

  void AddHoliday(std::int32_t date) {
    HOL = HOLIDAYS_RECORD{};
    HOL.HolidayDate = date;
    HOL.Holiday = "Test holiday";
    HOL.HolidayType = "Once";
    ASSERT_EQ(ACCESS_HOLIDAYS->Insert(), 0);
  }

  // Stores a weekly task on the date with weekends and holidays excepted, and leaves it as the
  // current record in the buffer, as the due-task road has it.
  std::int32_t AddWeeklyTask(std::int32_t date, const char* shift) {
    SCH = SCHEDULE_RECORD{};
    SCH.ScheduleType = "Custom";
    SCH.Every = 1;
    SCH.EveryType = "week(s)";
    SCH.Date = date;
    SCH.Time = MakeTime(9, 0);
    SCH.ExceptWeekends = 1;
    SCH.ExceptHolidays = 1;
    SCH.ShiftType = shift;
    SCH.Message = "Water the plants";
    EXPECT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    const std::int32_t id = SCH.ID;
    EXPECT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
    return id;
  }

  SCHEDULE_RECORD Stored(std::int32_t id) {
    SCH.ID = id;
    EXPECT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
    return SCH;
  }

  test::InFreshFolder folder_;
  TestTableServices services_;
  ScopedScheduleServices scope_{services_};
  const std::int32_t sat_ = DATE(6, 21, 2025);
};

TEST_F(ExceptionsOnTables, NextDayShiftWritesALinkedCopyPastTheHoliday) {
  AddHoliday(sat_ + 2);  // the Monday after
  const std::int32_t id = AddWeeklyTask(sat_, "Next day");

  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(SCH.ID, id);
  EXPECT_EQ(ACCESS_SCHEDULE->file().Records(), 2);

  const SCHEDULE_RECORD task = Stored(id);
  EXPECT_EQ(task.Date, sat_);
  EXPECT_EQ(task.SkipNextTime, 1);
  EXPECT_EQ(task.ScheduleType, "Custom");
  ASSERT_NE(task.ExceptionLink, 0);

  const SCHEDULE_RECORD copy = Stored(task.ExceptionLink);
  EXPECT_EQ(copy.ScheduleType, "Once");
  EXPECT_EQ(copy.Date, sat_ + 3);  // Tuesday
  EXPECT_EQ(copy.Time, MakeTime(9, 0));
  EXPECT_EQ(copy.SkipNextTime, 0);
  EXPECT_EQ(copy.ExceptionLink, 0);
  EXPECT_EQ(copy.Message, "Water the plants");
}

TEST_F(ExceptionsOnTables, SkipMarksTheStoredTaskOnly) {
  const std::int32_t id = AddWeeklyTask(sat_, "Skip (to next valid day)");
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(ACCESS_SCHEDULE->file().Records(), 1);
  EXPECT_EQ(Stored(id).SkipNextTime, 1);
}

TEST_F(ExceptionsOnTables, HolidaysCountOnlyWhenListed) {
  const std::int32_t monday = sat_ + 2;
  const std::int32_t id = AddWeeklyTask(monday, "Next day");
  EXPECT_EQ(ApplyTaskExceptions(), 0);  // no holidays listed at all

  AddHoliday(monday);
  SCH.ID = id;
  ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
  EXPECT_EQ(ApplyTaskExceptions(), 1);
  EXPECT_EQ(Stored(Stored(id).ExceptionLink).Date, monday + 1);
}

}  // namespace
}  // namespace vx
