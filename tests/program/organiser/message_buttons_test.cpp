// Snooze on the real tables while a due task is being run on the same thread (the on-top
// message window on Main's thread): the task is written back to its own record afterwards. To Do
// adds an item, or says why it could not.
#include "program/organiser/message_buttons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/recurrence/schedule_services.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/program/window_fixture.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

class MessageButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    VX_Files_Load();
    InstallProgramScheduleServices();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  }
  void TearDown() override {
    ACCESS_SCHEDULE->Close();
    SetScheduleServices(nullptr);
    VX_Files_Unload();
    std::filesystem::current_path(old_);
  }

  test::TempFolder folder_{"vx snooze"};
  std::filesystem::path old_;
  test::FixedClock clock_{DATE(3, 2, 2026), 12 * 360000 + 1};
  test::ScopedClock scoped_clock_{clock_};
};

TEST_F(MessageButtonsTest, SnoozeWhileATaskRunsLeavesTheTaskItsBufferAndRecord) {
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  SCH.Description = "Backup";
  SCH.Date = TODAY();
  SCH.Time = 100;
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);  // the task being run

  ML = MSGLINK_RECORD{};
  ML.Title = "Call Anna";
  ML.Message = "About the budget";
  SnoozeMessage();

  EXPECT_EQ(SCH.ID, 1);
  EXPECT_EQ(SCH.Description, "Backup");
  SCH.Date = TODAY() + 7;  // moved to its next run and written back, as the run does
  ASSERT_EQ(ACCESS_SCHEDULE->Update(), 0);

  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0);
  EXPECT_EQ(SCH.Description, "Backup");
  EXPECT_EQ(SCH.Date, TODAY() + 7);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 2;
  ASSERT_EQ(ACCESS_SCHEDULE->Fetch(SCH_KEYID), 0) << "the snooze task keeps its own record";
  EXPECT_EQ(SCH.Description, "Call Anna");
  EXPECT_EQ(SCH.Category, "Snooze");
  EXPECT_EQ(SCH.Date, TODAY());
}

class AddMessageToToDoTest : public test::WindowTest {
 protected:
  // The box AddMessageToToDo shows for a message with this title, on a run of its own.
  SeenRequest Add(std::string title) {
    // A fresh driver for each run; the old one goes first, as it takes its front end along.
    driver_.reset();
    driver_ = std::make_unique<TestDriver>();
    driver_->Start([title] {
      ML = MSGLINK_RECORD{};
      ML.Title = title;
      ML.Message = "About the budget";
      AddMessageToToDo();
    });
    const SeenRequest box = driver_->WaitMessage(BUTTON_OK);
    driver_->Finish();
    return box;
  }
};

TEST_F(AddMessageToToDoTest, AStoredItemIsConfirmedAndAFailedOneNamedWithTheReason) {
  SeenRequest box = Add("Call Anna");
  EXPECT_EQ(box.caption, "Saved");
  EXPECT_EQ(box.text, "Added to To Do List:\rCall Anna");
  ASSERT_EQ(ACCESS_TODO->Open(), 0);
  ACCESS_TODO->Set();
  ASSERT_EQ(ACCESS_TODO->Next(), 0);
  EXPECT_EQ(TDO.ToDo.str(), "Call Anna");
  EXPECT_EQ(TDO.Notes.str(), "About the budget");
  EXPECT_EQ(TDO.Priority, 5);
  ACCESS_TODO->Close();

  // The data file marked read-only: the insert fails, and the box says so and why.
  std::filesystem::permissions("VX97.TPS", std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
  box = Add("Call Bert");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.text.rfind("Not added to the To Do List:\rCall Bert\r", 0), 0u) << box.text;
  EXPECT_NE(box.text.find("(5)"), std::string::npos) << box.text;
}

}  // namespace
}  // namespace vx
