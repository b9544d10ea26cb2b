// Re-dating every task on the real tables, driven through the window "Re-Date Tasks": the
// moment must lie at least a minute ahead, and the pass re-dates the recurring tasks while the
// completed, hot-key and one-time tasks keep their dates.
#include "program/due_tasks/reschedule_all_tasks.h"

#include <gtest/gtest.h>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/shell_fixture.h"
#include "runtime/locale_formats.h"
#include "support/test_driver.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using test::EveryTask;
using test::MakeTask;

class RescheduleAllTasksTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    GLO_DATE = 0;
    GLO_TIME = 0;
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  }
  void TearDown() override {
    ACCESS_SCHEDULE->Close();
    ShellTest::TearDown();
  }

  static void Add(std::int32_t id, SCHEDULE_RECORD task) {
    task.ID = id;
    task.Description = "Task " + std::to_string(id);
    SCH = task;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }

  ScopedLocaleFormats locale_{LocaleFormats{}};
};

TEST_F(RescheduleAllTasksTest, MomentLessThanAMinuteAheadIsRefusedThenTasksAreRedated) {
  // Today is Friday 12 June 2026, 14:07:09.
  const std::int32_t nine = MakeTime(9, 0);
  Add(1, EveryTask(1, "day(s)", DATE(6, 22, 2026), nine));
  SCHEDULE_RECORD friday = MakeTask("Day of Week", DATE(7, 31, 2026), nine);
  friday.Friday = 1;
  Add(2, friday);
  SCHEDULE_RECORD completed = EveryTask(1, "day(s)", DATE(6, 22, 2026), nine);
  completed.Completed = 1;
  Add(3, completed);
  SCHEDULE_RECORD hot_key = EveryTask(1, "day(s)", DATE(6, 22, 2026), nine);
  hot_key.TaskType = "Hot Key";
  Add(4, hot_key);
  Add(5, MakeTask("Once", DATE(6, 22, 2026), nine));

  TestDriver ui;
  ui.Start([] { RescheduleAllTasks_GetDate(); });
  DriverWindow window = ui.WaitWindow("Re-Date Tasks");
  // A moment in the past is replaced by the soonest one: a minute from now.
  EXPECT_EQ(window.Control("Date:").Value(), "06/12/2026");
  EXPECT_EQ(window.Control("Time:").Value(), "14:08");

  window.Control("Time:").Type("14:08");  // 51 seconds ahead
  window.Control("&OK").Press();
  const SeenRequest refused = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.caption, "Error");
  EXPECT_EQ(refused.text, "The date and time entered must be in the future.");
  EXPECT_TRUE(window.Open());

  window.Control("Date:").Type("06/13/2026");
  window.Control("Time:").Type("08:00");
  window.Control("&OK").Press();
  ui.WaitClosed(window);
  ui.Finish();
  EXPECT_EQ(GLO_DATE, DATE(6, 13, 2026));
  EXPECT_EQ(GLO_TIME, MakeTime(8, 0));

  EXPECT_EQ(StoredTask(1).Date, DATE(6, 13, 2026));
  EXPECT_EQ(StoredTask(1).Time, nine);
  EXPECT_EQ(StoredTask(2).Date, DATE(6, 19, 2026));
  for (std::int32_t id : {3, 4, 5}) {
    EXPECT_EQ(StoredTask(id).Date, DATE(6, 22, 2026)) << id;
    EXPECT_EQ(StoredTask(id).Completed, id == 3 ? 1 : 0) << id;
  }
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(RescheduleAllTasksTest, LateInTheEveningTheSoonestMomentIsTomorrow) {
  clock_.Set(DATE(6, 12, 2026), MakeTime(23, 59, 30));
  TestDriver ui;
  ui.Start([] { RescheduleAllTasks_GetDate(); });
  DriverWindow window = ui.WaitWindow("Re-Date Tasks");
  EXPECT_EQ(window.Control("Date:").Value(), "06/13/2026");
  EXPECT_EQ(window.Control("Time:").Value(), "00:00");
  window.Control("Cancel").Press();
  ui.WaitClosed(window);
  ui.Finish();
}

TEST_F(RescheduleAllTasksTest, TheCalendarButtonPicksTheDate) {
  clock_.Set(DATE(6, 12, 2026), MakeTime(10, 0, 0));
  TestDriver ui;
  ui.Start([] { RescheduleAllTasks_GetDate(); });
  DriverWindow window = ui.WaitWindow("Re-Date Tasks");
  window.Control("...").Press();
  ui.WaitWindow("Select date").Control("Cancel").Press();
  ui.WaitUntil([&] { return window.Control("Date:").Value() == "06/12/2026"; }, "the date kept");
  window.Control("...").Press();
  ui.WaitWindow("Select date").Control("20").Press();
  ui.WaitUntil([&] { return window.Control("Date:").Value() == "06/20/2026"; }, "the picked date");
  window.Control("Cancel").Press();
  ui.WaitClosed(window);
  ui.Finish();
}

}  // namespace
}  // namespace vx
