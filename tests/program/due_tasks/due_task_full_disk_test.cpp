// The due-task road on the real tables with the disk full under them (a file layer that fails
// every write from a chosen call on): a due task whose run cannot be stored is not started, its
// box comes once and no file error box at each try, and once there is space again it runs, once,
// however often the program is started again.
#include <gtest/gtest.h>

#include <filesystem>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "framework/file_manager.h"
#include "program/due_tasks/due_task_table.h"
#include "program/due_tasks/program_schedule_services.h"
#include "runtime/storage/file.h"
#include "support/temp_folder.h"
#include "tests/program/due_task_fixture.h"
#include "tests/runtime/faulty_vfs.h"

namespace vx {
namespace {

using test::Fault;
using Strings = std::vector<std::string>;

class FullDiskTest : public test::TaskRoadTest {
 protected:
  void SetUp() override {
    TaskRoadTest::SetUp();
    services.steps = nullptr;  // the SCRIPTING table
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    USEEXTERNALMESSAGE = USEMODALMESSAGE = MAXIMIZEONRUN = SAVESCRIPTS = 0;
    THREADCOUNT = 0;
    PRODUCTNAME = "Varnodex";
    GLO_LASTCHECKDATE = 0;
    BROWSESCHEDULETHREADQUEUE.Free();
    Load();
  }
  void TearDown() override {
    disk_.Clear();
    Unload();
    std::filesystem::current_path(old_);
    TaskRoadTest::TearDown();
  }

  void Load() {
    VX_Files_Load();
    errors_.Init();
    errors_.SetReporter(&file_boxes_);
    VX_FILES_INIT(&errors_, nullptr);
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  }
  void Unload() {
    for (const storage::TableDef* table : DictionaryTables()) {
      storage::File& file = storage::File::For(*table);
      while (file.IsOpen()) file.Close();
    }
    VX_Files_Unload();
  }
  // The program ends and starts again: the tables opened afresh, the road's state new.
  void Restart() {
    Unload();
    Load();
    state_ = DueTaskState{};
  }
  void Tick() { CheckNextTask(state_, table_, frame_); }

  static void AddTask(std::int32_t id, std::string_view command, std::int32_t date) {
    SCH = test::MakeTask("Day of Week", date, kNoon);
    test::SetWeekdays(
        SCH, {test::kSun, test::kMon, test::kTue, test::kWed, test::kThu, test::kFri, test::kSat});
    SCH.ID = id;
    SCH.TaskType = "Run Program";
    SCH.Description = "Task " + std::to_string(id);
    SCH.Command = command;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  static SCHEDULE_RECORD Stored(std::int32_t id) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    EXPECT_EQ(ACCESS_SCHEDULE->TryFetch(SCH_KEYID), 0) << id;
    return SCH;
  }
  static long Records() { return static_cast<long>(ACCESS_SCHEDULE->file().Records()); }

  test::FaultyVfs disk_;  // first: every file the test opens goes through it
  test::TempFolder folder_{"vx full disk"};
  std::filesystem::path old_;
  ErrorClass errors_;
  test::RecordingReporter file_boxes_;  // the boxes of the file managers
  ProgramScheduleServices schedule_;
  ScopedScheduleServices scoped_schedule_{schedule_};
  DueTaskTableFiles table_;
  test::RecordingFrame frame_;
  DueTaskState state_;
};

TEST_F(FullDiskTest, TaskRunsOnceSpaceIsBackAndOnlyOnceAcrossRestarts) {
  AddTask(1, "backup-now", kDay);
  AddTask(2, "later", kDay + 3);
  disk_.Arm(Fault::DiskFull, 1);
  for (int tick = 0; tick < 3; ++tick) Tick();
  EXPECT_GT(disk_.failures(), 0);
  EXPECT_TRUE(processes.requests.empty()) << "started without its run stored";
  ASSERT_EQ(frame_.notices.size(), 1u);
  EXPECT_NE(frame_.notices[0].text.find("(database or disk is full)"), std::string::npos)
      << frame_.notices[0].text;
  EXPECT_TRUE(file_boxes_.shown.empty()) << file_boxes_.Texts().front();
  EXPECT_EQ(Stored(1).Date, kDay);

  Restart();  // still full
  Tick();
  EXPECT_TRUE(processes.requests.empty());

  disk_.Clear();
  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
  EXPECT_EQ(Stored(1).Date, kDay + 1);
  EXPECT_EQ(Stored(1).LastRunDate, kDay);
  EXPECT_EQ(Records(), 3);  // with its history copy
  Tick();
  Restart();
  Tick();
  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
  EXPECT_EQ(Records(), 3);
  EXPECT_TRUE(file_boxes_.shown.empty());
}

// The run's writes fail half-way (the history copy is written into a full page cache, the
// commit fails): nothing of the run stays, and the task runs once space is back.
TEST_F(FullDiskTest, RunCutByTheFullDiskLeavesNothingOfIt) {
  AddTask(1, "backup-now", kDay);
  disk_.Arm(Fault::DiskFull, 2);
  Tick();
  EXPECT_TRUE(processes.requests.empty());
  EXPECT_EQ(Records(), 1);
  EXPECT_EQ(Stored(1).Date, kDay);
  EXPECT_EQ(Stored(1).LastRunDate, 0);
  disk_.Clear();
  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
  EXPECT_EQ(Records(), 2);
}

}  // namespace
}  // namespace vx
