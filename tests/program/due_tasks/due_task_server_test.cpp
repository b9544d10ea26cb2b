// The due-task road when its tasks are on a database server: a server that cannot be reached
// shows the scheduler inactive (told once, without a question) until it answers, and then the
// task due meanwhile runs, once; a run another program of the same user claimed is neither
// started nor stored here.
#include <gtest/gtest.h>

#include "runtime/storage/server_connection.h"
#include "tests/program/due_task_fixture.h"

namespace vx::test {
namespace {

using Strings = std::vector<std::string>;

class DueTaskServerTest : public DueTaskTest {};

TEST_F(DueTaskServerTest, AServerThatCannotBeReachedShowsTheSchedulerInactiveUntilItAnswers) {
  AddTask(1, "Run Program", kDay, kNoon);
  table.fail_next = storage::kDriverError;
  table.fail_driver_code = storage::kServerUnreachable;
  for (int tick = 0; tick < 3; ++tick) Tick();
  EXPECT_EQ(frame.status, "Inactive: the database server cannot be reached");
  EXPECT_EQ(frame.tip, "Varnodex - inactive: the database server cannot be reached");
  ASSERT_EQ(frame.notices.size(), 1u);
  EXPECT_EQ(frame.notices[0].caption, "Database Server Not Reachable");
  EXPECT_NE(frame.notices[0].text.find("goes on by itself"), std::string::npos);
  EXPECT_TRUE(messages.shown.empty());  // no question holds the tick
  EXPECT_TRUE(processes.requests.empty());

  table.fail_next = 0;
  Tick();
  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
  EXPECT_NE(frame.status.find("Next: Task 1"), std::string::npos) << frame.status;
}

class ClaimedElsewhere : public FakeDueTaskTable {
 public:
  using FakeDueTaskTable::FakeDueTaskTable;
  storage::ClaimResult ClaimRun() override { return claim; }
  storage::ClaimResult claim = storage::ClaimResult::Taken;
};

TEST_F(DueTaskServerTest, ARunClaimedByAnotherProgramIsNeitherStartedNorStoredHere) {
  ClaimedElsewhere claimed{schedule.tasks, steps};
  AddTask(1, "Run Program", kDay, kNoon);
  CheckNextTask(state, claimed, frame);
  EXPECT_TRUE(processes.requests.empty());
  EXPECT_EQ(claimed.commits, 0);
  EXPECT_EQ(schedule.tasks.at(1).Date, kDay);  // as the other program leaves it
  EXPECT_EQ(schedule.tasks.size(), 1u);        // no history copy
  EXPECT_TRUE(frame.notices.empty());

  // A claim that cannot be made is a run that cannot be stored: it waits, and is not started.
  claimed.claim = storage::ClaimResult::Failed;
  CheckNextTask(state, claimed, frame);
  EXPECT_TRUE(processes.requests.empty());
  ASSERT_EQ(frame.notices.size(), 1u);
  EXPECT_EQ(frame.notices[0].caption, "Task Not Started");
  claimed.claim = storage::ClaimResult::Ours;
  CheckNextTask(state, claimed, frame);
  EXPECT_EQ(Programs(), Strings{"backup-now"});
}

}  // namespace
}  // namespace vx::test
