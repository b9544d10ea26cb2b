// The task lists' actions in multi-user mode. A quick-start copy is the asking user's: they get
// their own row of it, due when the copy is and with no last run, so that it runs for them (a
// task runs for a user by their row of it), and the other users get none. Performing a task now
// stores nothing, neither in the team's task nor in anybody's row of it.
#include <gtest/gtest.h>

#include "datadll/dictionary/scripting_table.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/task_actions.h"
#include "runtime/dates.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/fakes/fake_sound_player.h"
#include "tests/program/two_users_fixture.h"

namespace vx {
namespace {

class UserTaskActionsTest : public test::TwoUsersTest {
 protected:
  void SetUp() override {
    TwoUsersTest::SetUp();
    services_.processes = &processes_;
    services_.sound = &sound_;
    services_.messages = &reporter_;
    services_.helper_folder = "/opt/vx/bin";
    TEMPSCRIPTINGACTIVE = 0;

    SCHEDULE_RECORD task;
    task.TaskType = "Run Program";
    task.Description = "Nightly backup";
    task.Command = "backup-now";
    task.ScheduleType = "Day of Week";
    task.Friday = 1;
    task.Date = DATE(6, 19, 2026);
    task.Time = MakeTime(22, 0);
    task_ = task;
    task_.ID = id_ = AddTask(task);
    // Each user's own state differs from the team's and from the other's.
    VXUSD_RECORD row = Row("ann", id_, DATE(6, 26, 2026), MakeTime(22, 0));
    row.LASTRUNDATE = DATE(6, 5, 2026);
    row.LASTRUNTIME = MakeTime(22, 0);
    row.SKIPNEXTTIME = row.DISABLED = 1;
    AddRow(row);
    AddRow(Row("bob", id_, DATE(6, 12, 2026), MakeTime(22, 0)));
  }

  // Runs `action` on a list's thread with the team's task in the buffer, as a task list puts it.
  void RunAction(void (*action)()) {
    ui_.Start([task = task_, action] {
      ACCESS_SCHEDULE->Open();
      SCH = task;
      action();
      ACCESS_SCHEDULE->Close();
    });
    ui_.Finish();
  }
  static bool HasRow(const char* user, std::int32_t id) {
    EXPECT_EQ(ACCESS_VXUSD->Open(), 0);
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = id;
    const bool found = ACCESS_VXUSD->TryFetch(US_KEYID) == 0;
    ACCESS_VXUSD->Close();
    return found;
  }
  void ExpectRowsAsTheyWere() {
    const VXUSD_RECORD ann = StoredRow("ann", id_);
    EXPECT_EQ(ann.DATE, DATE(6, 26, 2026));
    EXPECT_EQ(ann.LASTRUNDATE, DATE(6, 5, 2026));
    EXPECT_EQ(ann.SKIPNEXTTIME, 1);
    EXPECT_EQ(ann.DISABLED, 1);
    EXPECT_EQ(StoredRow("bob", id_).DATE, DATE(6, 12, 2026));
    EXPECT_EQ(StoredRow("bob", id_).LASTRUNDATE, 0);
    const SCHEDULE_RECORD team = StoredTaskOf(id_);
    EXPECT_EQ(team.Date, DATE(6, 19, 2026));
    EXPECT_EQ(team.LastRunDate, 0);
    EXPECT_EQ(team.Disabled, 0);
  }

  SCHEDULE_RECORD task_;
  std::int32_t id_ = 0;
  test::FakeProcessLauncher processes_;
  test::FakeSoundPlayer sound_;
  TaskRoadServices services_;
  ScopedTaskRoadServices scoped_services_{services_};
};

TEST_P(UserTaskActionsTest, AQuickStartCopyIsDueForTheAskingUserAlone) {
  GLO_USER = "Ann";  // the user's own row is keyed whatever the letter case
  clock_.Set(DATE(6, 12, 2026), MakeTime(23, 58));
  ui_.AnswerPopup(1);  // "5 minutes"
  RunAction([] { EXPECT_TRUE(QuickStartTask()); });

  const std::int32_t copy = id_ + 1;
  const SCHEDULE_RECORD stored = StoredTaskOf(copy);
  ASSERT_EQ(stored.Description, "Nightly backup");
  const VXUSD_RECORD row = StoredRow("ann", copy);
  EXPECT_EQ(row.DATE, DATE(6, 13, 2026));
  EXPECT_EQ(row.TIME, MakeTime(0, 3, 1));
  EXPECT_EQ(row.DATE, stored.Date);
  EXPECT_EQ(row.TIME, stored.Time);
  EXPECT_EQ(row.LASTRUNDATE, 0);
  EXPECT_EQ(row.LASTRUNTIME, 0);
  EXPECT_EQ(row.SKIPNEXTTIME, 0);  // ann's skip of the task she copied is not the copy's
  EXPECT_EQ(row.DISABLED, 0);      // nor is her switch
  EXPECT_EQ(row.ADVANCEWARNDATE, 0);
  EXPECT_FALSE(HasRow("bob", copy));
  ExpectRowsAsTheyWere();
}

TEST_P(UserTaskActionsTest, PerformNowStoresNothingForTheTeamOrAnyUser) {
  RunAction([] { PerformTaskNow(); });
  ASSERT_EQ(processes_.requests.size(), 1u);
  EXPECT_EQ(processes_.requests[0].argv.front(), "backup-now");
  ExpectRowsAsTheyWere();
}

VX_FOR_BOTH_TABLE_PLACES(UserTaskActionsTest);

}  // namespace
}  // namespace vx
