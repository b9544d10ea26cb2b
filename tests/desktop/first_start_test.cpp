// The README's run command on a machine without a display: VX started as scripts/run.sh starts
// it, on a virtual display nobody watches, with a new data folder. Nothing waits for an answer:
// the scheduler ticks and a task due a few seconds later runs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/run_script_start.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kFrame = "Varnodex 2000";

class FirstStartTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    test::CloseDataFiles();
    if (!fs::exists(test::BuiltProgram())) GTEST_SKIP() << "VX is not built beside the tests";
    display_ = test::OpenTestDisplay();
    if (!display_) GTEST_SKIP() << "no X display";
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (pid_ != 0) {
      int status = 0;
      test::EndWithin(pid_, 10s, status);
    }
    test::EndProcessesIn(data_);
    test::TempFolderTest::TearDown();
  }

  // Stores a "Run Program" task in the database of `data` while the program runs on it, due
  // `seconds` from now, whose program appends a line to `log`.
  static void AddTaskDueIn(const fs::path& data, int seconds, const fs::path& log) {
    const fs::path here = fs::current_path();
    fs::current_path(data);
    VX_Files_Load();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 1;
    SCH.TaskType = "Run Program";
    SCH.ScheduleType = "Once";
    SCH.Description = "First tick";
    SCH.Command = "/bin/sh -c \"echo the task ran >> " + log.string() + "\"";
    SCH.Date = TODAY();
    SCH.Time = CLOCK() + seconds * 100;
    if (SCH.Time > 8'640'000) SCH.Time = CLOCK();  // just before midnight: due at once
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();
    test::CloseDataFiles();
    VX_Files_Unload();
    fs::current_path(here);
  }

  Display* display_ = nullptr;
  pid_t pid_ = 0;
  fs::path data_;
};

TEST_F(FirstStartTest, TheRunCommandsStartOnANewFolderTicksWithNothingWaitingForAnAnswer) {
  // run.sh's default folder, made as run.sh makes it.
  data_ = root() / "data" / "varnodex";
  fs::create_directories(data_);
  fs::permissions(data_, fs::perms::owner_all);
  const fs::path errors = root() / "stderr.txt";
  const fs::path log = root() / "task.log";
  pid_ = test::StartAsTheRunScriptDoes(data_, errors);
  ASSERT_NE(pid_, 0);

  // The frame, and beside it the box saying where the data lives, left unanswered.
  EXPECT_TRUE(test::WaitUntil(
      [&] { return test::Shown(display_, kFrame) && test::Shown(display_, "Data Folder"); }, 60s))
      << test::FileBytes(errors);
  EXPECT_FALSE(test::Shown(display_, "Select data directory"));
  EXPECT_FALSE(test::Shown(display_, "New Database"));
  ASSERT_TRUE(fs::exists(data_ / "VX97.TPS")) << "the new database is made in the named folder";

  AddTaskDueIn(data_, 3, log);
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(log); }, 60s))
      << "the task did not run; VX said:\n"
      << test::FileBytes(errors);
  EXPECT_EQ(test::FileBytes(log), "the task ran\n");
  EXPECT_TRUE(test::Shown(display_, "Data Folder")) << "the box is still there, unanswered";
  EXPECT_NE(test::FileBytes(errors).find("VX: new data folder " + data_.string()),
            std::string::npos)
      << test::FileBytes(errors);

  int status = 0;
  ASSERT_TRUE(test::EndWithin(pid_, 30s, status)) << "VX did not end after SIGTERM";
  pid_ = 0;
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace vx
