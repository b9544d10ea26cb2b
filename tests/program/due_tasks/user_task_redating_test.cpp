// Re-dating every task in multi-user mode moves the current user's own state of each task (their
// VXUSD rows) to its first regular occurrence after the chosen moment; the team's tasks and the
// other users' rows keep their dates, and a row the user has completed is left as it is.
#include <gtest/gtest.h>

#include "program/due_tasks/reschedule_all_tasks.h"
#include "runtime/dates.h"
#include "tests/program/schedule_fixture.h"
#include "tests/program/two_users_fixture.h"

namespace vx {
namespace {

class UserTaskRedatingTest : public test::TwoUsersTest {};

TEST_P(UserTaskRedatingTest, OnlyTheCurrentUsersOwnRowsAreRedated) {
  const std::int32_t nine = MakeTime(9, 0);
  const std::int32_t daily = AddTask(test::EveryTask(1, "day(s)", DATE(6, 22, 2026), nine));
  const std::int32_t done = AddTask(test::EveryTask(1, "day(s)", DATE(6, 22, 2026), nine));
  const std::int32_t bobs = AddTask(test::EveryTask(1, "day(s)", DATE(6, 22, 2026), nine));
  AddRow(Row("ann", daily, DATE(6, 30, 2026), nine));
  AddRow(Row("bob", daily, DATE(6, 25, 2026), nine));
  VXUSD_RECORD completed = Row("ann", done, DATE(6, 30, 2026), nine);
  completed.COMPLETED = 1;
  AddRow(completed);
  AddRow(Row("bob", bobs, DATE(6, 25, 2026), nine));

  // Friday 12 June 2026: re-dated from Saturday 08:00, a daily 09:00 task lands on Saturday.
  GLO_USER = "Ann";  // the user's rows are found whatever the letter case
  GLO_DATE = DATE(6, 13, 2026);
  GLO_TIME = MakeTime(8, 0);
  ui_.Start([] { RescheduleAllTasks(); });
  ui_.Finish();

  EXPECT_EQ(StoredRow("ann", daily).DATE, DATE(6, 13, 2026));
  EXPECT_EQ(StoredRow("ann", daily).TIME, nine);
  EXPECT_EQ(StoredRow("ann", done).DATE, DATE(6, 30, 2026));
  EXPECT_EQ(StoredRow("bob", daily).DATE, DATE(6, 25, 2026));
  EXPECT_EQ(StoredRow("bob", bobs).DATE, DATE(6, 25, 2026));
  for (std::int32_t id : {daily, done, bobs}) {
    EXPECT_EQ(StoredTaskOf(id).Date, DATE(6, 22, 2026)) << id;
    EXPECT_EQ(StoredTaskOf(id).Completed, 0) << id;
  }
}

VX_FOR_BOTH_TABLE_PLACES(UserTaskRedatingTest);

}  // namespace
}  // namespace vx
