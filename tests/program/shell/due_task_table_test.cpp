// The due-task road on the real tables: the walk of the (disabled, date, time) key, and a task
// removed after its last run taking its script steps and per-user rows with it.
#include "program/shell/due_task_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

class DueTaskTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    VX_Files_Load();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  }
  void TearDown() override {
    ACCESS_SCHEDULE->Close();
    VX_Files_Unload();
    std::filesystem::current_path(old_);
  }

  static void AddTask(std::int32_t id, std::uint8_t disabled, std::int32_t date, std::int32_t time) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    SCH.Disabled = disabled;
    SCH.Date = date;
    SCH.Time = time;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }

  test_support::TempFolder folder_{"vx due tasks"};
  std::filesystem::path old_;
  DueTaskTableFiles table;
};

TEST_F(DueTaskTableTest, WalkTakesEnabledTasksEarliestFirst) {
  AddTask(1, 1, 80000, 100);
  AddTask(2, 0, 80002, 100);
  AddTask(3, 0, 80001, 500);
  AddTask(4, 0, 80001, 200);
  ASSERT_EQ(table.StartDateEnabledWalk(), 0);
  std::vector<std::int32_t> order;
  while (table.Next() == 0) order.push_back(SCH.ID);
  EXPECT_EQ(order, (std::vector<std::int32_t>{4, 3, 2, 1}));
}

TEST_F(DueTaskTableTest, DeletedTaskTakesItsStepsAndUserRows) {
  AddTask(5, 0, 80000, 100);
  AddTask(6, 0, 80000, 200);
  ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
  for (std::int32_t id : {5, 6}) {
    SCR = SCRIPTING_RECORD{};
    SCR.ID = id;
    SCR.Action = "Send Keys";
    ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  }
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  US = VXUSD_RECORD{};
  US.USER = "anna";
  US.ID = 5;
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);

  SCH.ID = 5;
  ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
  EXPECT_EQ(table.DeleteTask(), 0);

  SCH.ID = 5;
  EXPECT_NE(ACCESS_SCHEDULE->TryFetch(SCH_KEYID), 0);
  std::vector<std::int32_t> steps;
  ACCESS_SCRIPTING->Set();
  while (ACCESS_SCRIPTING->Next() == 0) steps.push_back(SCR.ID);
  EXPECT_EQ(steps, std::vector<std::int32_t>{6});  // the other task's step stays
  ACCESS_VXUSD->Set();
  EXPECT_NE(ACCESS_VXUSD->Next(), 0);
  ACCESS_SCRIPTING->Close();
  ACCESS_VXUSD->Close();
}

}  // namespace
}  // namespace vx
