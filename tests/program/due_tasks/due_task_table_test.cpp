// The due-task road on the real tables: the walk of the (disabled, date, time) key past the
// tasks without date and time, a due task behind many of them found and run, a task removed
// after its last run taking its script steps and per-user rows with it, the stored tasks
// re-dated when the clock is set back, and a damaged date key told and mended.
#include "program/due_tasks/due_task_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/due_tasks/table_schedule_services.h"
#include "program/tools/data_maintenance.h"
#include "runtime/storage/sqlite_session.h"
#include "support/temp_folder.h"
#include "tests/program/due_task_fixture.h"
#include "tests/support/damaged_files.h"

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

  static void AddTask(std::int32_t id, std::uint8_t disabled, std::int32_t date,
                      std::int32_t time) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    SCH.Disabled = disabled;
    SCH.Date = date;
    SCH.Time = time;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }

  test::TempFolder folder_{"vx due tasks"};
  std::filesystem::path old_;
  DueTaskTableFiles table;
};

TEST_F(DueTaskTableTest, WalkTakesEnabledTasksEarliestFirstPastTheUndatedOnes) {
  AddTask(1, 1, 80000, 100);
  AddTask(2, 0, 80002, 100);
  AddTask(3, 0, 80001, 500);
  AddTask(4, 0, 80001, 200);
  AddTask(5, 0, 0, 0);
  AddTask(6, 0, 0, 1);  // a time without a date is a moment
  AddTask(7, 0, 0, 0);
  AddTask(8, 1, 0, 0);  // switched off: after every enabled task
  SCH.Description = "kept";
  ASSERT_EQ(table.StartDateEnabledWalk(), 0);
  EXPECT_EQ(SCH.Description.str(), "kept");  // positioning leaves the buffer alone
  std::vector<std::int32_t> order;
  while (table.Next() == 0) order.push_back(SCH.ID);
  EXPECT_EQ(order, (std::vector<std::int32_t>{6, 4, 3, 2, 8, 1}));
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

// Phase 3 on the real task table: 1,500 enabled tasks without date and time sort first, and
// the task behind them is due. Passed one at a time within a limit of 1,000 reads, it was
// never found; passed in one positioning, it runs.
class DueTaskOnTablesTest : public test::TaskRoadTest {
 protected:
  class Services final : public TableScheduleServices {
   public:
    bool HolidaysExist() override { return false; }
    bool IsHoliday(std::int32_t) override { return false; }
    void AddTaskCopy() override {
      SCH.ID = 10000 + ++copies;
      EXPECT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    }
    void ShowMessage(std::string_view, std::string_view) override {}
    std::string FormatDate(std::int32_t date) override { return std::to_string(date); }
    int copies = 0;
  };

  void SetUp() override {
    TaskRoadTest::SetUp();
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    VX_Files_Load();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    PRODUCTNAME = "Varnodex";
  }
  void TearDown() override {
    ACCESS_SCHEDULE->Close();
    VX_Files_Unload();
    std::filesystem::current_path(old_);
    TaskRoadTest::TearDown();
  }

  static SCHEDULE_RECORD Stored(std::int32_t id) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    EXPECT_EQ(ACCESS_SCHEDULE->TryFetch(SCH_KEYID), 0) << id;
    return SCH;
  }

  test::TempFolder folder_{"vx due tasks on tables"};
  std::filesystem::path old_;
  Services services_;
  ScopedScheduleServices scoped_services_{services_};
  DueTaskTableFiles table_;
  test::RecordingFrame frame_;
  DueTaskState state_;
};

TEST_F(DueTaskOnTablesTest, TaskBehindManyUndatedTasksIsFoundAndRun) {
  storage::LOGOUT(10);
  for (std::int32_t id = 1; id <= 1500; ++id) {
    SCH = test::MakeTask("Day of Week", 0, 0);
    SCH.ID = id;
    SCH.TaskType = "Run Program";
    SCH.Command = "undated-" + std::to_string(id);
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  SCH = test::MakeTask("Day of Week", kDay, kNoon - 6000);
  test::SetWeekdays(
      SCH, {test::kSun, test::kMon, test::kTue, test::kWed, test::kThu, test::kFri, test::kSat});
  SCH.ID = 2000;
  SCH.TaskType = "Run Program";
  SCH.Description = "Back up the books";
  SCH.Command = "backup-now";
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ASSERT_EQ(storage::COMMIT(), 0);

  CheckNextTask(state_, table_, frame_);
  EXPECT_EQ(Programs(), std::vector<std::string>{"backup-now"});
  EXPECT_EQ(state_.current.ID, 2000);
  EXPECT_EQ(Stored(2000).Date, kDay + 1);  // moved on to tomorrow
  EXPECT_EQ(services_.copies, 1);          // with its history copy
  EXPECT_EQ(Stored(1).Date, 0);            // the undated tasks stay as they were

  CheckNextTask(state_, table_, frame_);
  EXPECT_EQ(frame_.status, test::NextTaskStatus("Back up the books", kDay + 1, kNoon - 6000));
  EXPECT_EQ(processes.requests.size(), 1u);  // not due again today
}

// The clock set back an hour re-dates the stored task every five minutes that ran at noon: it
// runs at 11:05, not at 12:05.
TEST_F(DueTaskOnTablesTest, ClockSetBackRedatesTheStoredTasks) {
  SCH = test::EveryTask(5, "minute(s)", kDay, kNoon);
  SCH.ID = 1;
  SCH.TaskType = "Run Program";
  SCH.Command = "five";
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  CheckNextTask(state_, table_, frame_);
  ASSERT_EQ(Stored(1).Time, kNoon + 5 * 6000);
  clock.Set(kDay, kNoon - 60 * 6000);
  CheckNextTask(state_, table_, frame_);
  EXPECT_EQ(Stored(1).Time, kNoon - 55 * 6000);
  clock.Set(kDay, kNoon - 55 * 6000);
  CheckNextTask(state_, table_, frame_);
  EXPECT_EQ(Programs(), (std::vector<std::string>{"five", "five"}));
}

// The task table's date key damaged on disk: the check reads nothing and says so once; the
// maintenance program mends the key from the records, and the due task then runs.
TEST_F(DueTaskOnTablesTest, ADamagedDateKeyIsToldOnceAndTheMaintenanceProgramMendsIt) {
  storage::LOGOUT(10);
  for (std::int32_t id = 1; id <= 300; ++id) {
    SCH = test::MakeTask("Once", kDay + 1 + id, kNoon);
    SCH.ID = id;
    SCH.TaskType = "Run Program";
    SCH.Command = "later-" + std::to_string(id);
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  SCH = test::MakeTask("Once", kDay, kNoon - 6000);
  SCH.ID = 2000;
  SCH.TaskType = "Run Program";
  SCH.Description = "Back up the books";
  SCH.Command = "backup-now";
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ASSERT_EQ(storage::COMMIT(), 0);
  ACCESS_SCHEDULE->Close();  // the file alone on disk, its log gone into it
  ASSERT_TRUE(test::DamageIndex("VX97.TPS", "s!KeyDateEnabled"));

  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  for (int tick = 0; tick < 3; ++tick) CheckNextTask(state_, table_, frame_);
  EXPECT_TRUE(processes.requests.empty());
  EXPECT_EQ(frame_.status, "Tasks cannot be read");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Database Damaged");
  const std::string data_file = (std::filesystem::current_path() / "VX97.TPS").string();
  EXPECT_NE(messages.shown[0].text.find(data_file), std::string::npos) << messages.shown[0].text;
  ACCESS_SCHEDULE->Close();

  const MaintenanceReport report = MaintainDataFiles(std::filesystem::current_path());
  EXPECT_TRUE(report.ok()) << MaintenanceSummary(report);
  ASSERT_EQ(report.repaired.size(), 1u) << MaintenanceSummary(report);
  EXPECT_EQ(report.repaired[0].rfind("VX97.TPS: ", 0), 0u) << report.repaired[0];

  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  CheckNextTask(state_, table_, frame_);
  EXPECT_EQ(Programs(), std::vector<std::string>{"backup-now"});
  std::int32_t records = 0;
  ASSERT_EQ(ACCESS_SCHEDULE->Set(SCH_KEYDATEENABLED), 0);
  while (ACCESS_SCHEDULE->Next() == 0) ++records;
  EXPECT_EQ(records, 301);  // every task still there, read through the mended key
}

}  // namespace
}  // namespace vx
