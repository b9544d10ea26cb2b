// The advance warnings of multi-user mode walk the warning key of VXUSD from the current user's
// part: one user's due warning is found however many due, unwarned rows other users have (the
// walk reads at most 10,000 rows a pass). A table made before the key had its user part is
// keyed again when it opens, its rows kept.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "datadll/dictionary/dictionary_tables.h"
#include "program/common/program_services.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/advance_warnings.h"
#include "runtime/dates.h"
#include "runtime/storage/file.h"
#include "tests/program/two_users_fixture.h"

namespace vx {
namespace {

class UserWarningKeyTest : public test::TwoUsersTest {
 protected:
  void SetUp() override {
    TwoUsersTest::SetUp();
    USEEXTERNALMESSAGE = 0;
    services_.messages = &reporter_;
  }

  TaskRoadServices services_;
  ScopedTaskRoadServices scoped_services_{services_};
  ScopedProgramServices quiet_log_{&ProgramServices::task_log,
                                   [](std::string_view, std::string_view) {}};
};

TEST_P(UserWarningKeyTest, AUsersWarningIsFoundPastOtherUsersRowsInATableKeyedBefore) {
  const std::int32_t today = DATE(6, 12, 2026);
  SCHEDULE_RECORD task;
  task.Description = "Standup";
  task.TaskType = "Display Message";
  task.ScheduleType = "Once";
  task.Date = today + 1;
  task.Time = MakeTime(9, 0);
  const std::int32_t id = AddTask(task);

  // VXUSD as an earlier version made it: its warning key without the user.
  storage::TableDef before = VXUSD_TABLE();
  for (storage::KeyDef& key : before.keys) {
    if (key.name == "KEYADVANCED") key.components.erase(key.components.begin());
  }
  {
    storage::File file(before);
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(), 0);
    ASSERT_EQ(file.Stream(), 0);
    // Bob's warnings came earlier than ann's and he has not been warned of any of them yet.
    for (std::int32_t other = 1; other <= 10001; ++other) {
      US = Row("bob", other, today + 1, MakeTime(9, 0));
      US.ADVANCEWARNDATE = today - 2;
      US.ADVANCEWARNTIME = MakeTime(9, 0);
      ASSERT_EQ(file.Add(), 0);
    }
    US = Row("ann", id, today + 1, MakeTime(9, 0));
    US.ADVANCEWARNDATE = today - 1;
    US.ADVANCEWARNTIME = MakeTime(9, 0);
    ASSERT_EQ(file.Add(), 0);
    ASSERT_EQ(file.Flush(), 0);
    ASSERT_EQ(file.Close(), 0);
  }

  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  CheckAdvanceWarnings();
  ACCESS_SCHEDULE->Close();
  ASSERT_EQ(Captions(), std::vector<std::string>{"Advanced Warning: Standup"});
  EXPECT_EQ(StoredRow("ann", id).ADVANCEWARNED, 1);
  EXPECT_EQ(StoredRow("bob", 1).ADVANCEWARNED, 0);
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  EXPECT_EQ(ACCESS_VXUSD->file().Records(), 10002);
  ACCESS_VXUSD->Close();
}

VX_FOR_BOTH_TABLE_PLACES(UserWarningKeyTest);

}  // namespace
}  // namespace vx
