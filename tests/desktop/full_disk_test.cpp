// The built VX program on a real X display with its data folder on a small filesystem that runs
// full: tasks that fall due while nothing can be stored do not start, one box says so, and once
// there is space again every task runs once, and only once, however often VX is started again.
// Mounting the small filesystem (tmpfs) takes root; without it the test is skipped.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kTasks = 3;

class FullDiskTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!fs::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    data_ = root() / "small-disk";
    fs::create_directories(data_);
    if (mount("tmpfs", data_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=8m,mode=0700") != 0) {
      GTEST_SKIP() << "cannot mount a small filesystem here: " << std::strerror(errno);
    }
    mounted_ = true;
    // The tasks' program, outside the small disk: it notes each run in a file.
    marker_ = root() / "runs.txt";
    script_ = root() / "mark.sh";
    std::ofstream(script_) << "#!/bin/sh\necho \"$1\" >> '" << marker_.string() << "'\n";
    fs::permissions(script_, fs::perms::owner_all);
    fs::current_path(data_);
    VX_Files_Load();  // a data folder with its database: no folder question at start-up
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    test::CloseDataFiles();
    VX_Files_Unload();
    ASSERT_TRUE(fs::exists("VX97.TPS"));
  }
  void TearDown() override {
    if (pid_ != 0) {
      int status = 0;
      test::EndWithin(pid_, 30s, status);
    }
    test::EndProcessesIn(data_);
    fs::current_path(root());
    if (mounted_) umount2(data_.c_str(), MNT_DETACH);
    if (display_ != nullptr) XCloseDisplay(display_);
    test::TempFolderTest::TearDown();
  }

  void StartVx() {
    pid_ = test::StartWithoutSessionBus(program_.string());
    ASSERT_NE(pid_, 0);
    ASSERT_TRUE(test::WaitUntil([this] { return test::Shown(display_, "Varnodex 2000"); }, 60s))
        << "the frame";
  }
  void EndVx() {
    int status = 0;
    ASSERT_TRUE(test::EndWithin(pid_, 30s, status)) << "VX did not end after SIGTERM";
    pid_ = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }

  // Daily tasks due in `seconds`, stored while VX runs (it reads the tasks afresh at each look).
  void AddTasksDueIn(int seconds) {
    std::int32_t date = TODAY();
    std::int32_t time = CLOCK() + seconds * 100;
    if (time > 8640000) {
      time -= 8640000;
      ++date;
    }
    VX_Files_Load();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    for (int id = 1; id <= kTasks; ++id) {
      SCH = SCHEDULE_RECORD{};
      SCH.ID = id;
      SCH.TaskType = "Run Program";
      SCH.ScheduleType = "Day of Week";
      SCH.Sunday = SCH.Monday = SCH.Tuesday = SCH.Wednesday = SCH.Thursday = SCH.Friday =
          SCH.Saturday = 1;
      SCH.Description = "Disk task " + std::to_string(id);
      SCH.Command = script_.string() + " " + std::to_string(id);
      SCH.Date = date;
      SCH.Time = time;
      ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    }
    test::CloseDataFiles();
    VX_Files_Unload();
  }

  // Writes a file over the small disk until no byte more fits.
  void FillDisk() {
    std::vector<char> block(64 * 1024, 'x');
    std::FILE* f = std::fopen((data_ / "filler").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
    }
    std::fclose(f);
    ASSERT_LT(fs::space(data_).available, block.size());
  }
  void FreeDisk() { fs::remove(data_ / "filler"); }

  // How often each task has run.
  std::map<std::string, int> Runs() const {
    std::map<std::string, int> runs;
    std::ifstream in(marker_);
    for (std::string line; std::getline(in, line);) ++runs[line];
    return runs;
  }

  ::Display* display_ = nullptr;
  fs::path program_, data_, marker_, script_;
  bool mounted_ = false;
  pid_t pid_ = 0;
};

TEST_F(FullDiskTest, TasksDueOnAFullDiskRunOnceSpaceIsBackAndOnlyOnceAcrossARestart) {
  StartVx();
  std::this_thread::sleep_for(6s);  // the start-up work is done (the day's history check)
  AddTasksDueIn(6);
  FillDisk();
  std::this_thread::sleep_for(20s);  // past the due moment, several looks for due tasks
  EXPECT_TRUE(Runs().empty()) << "a task started whose run could not be stored";
  EXPECT_TRUE(test::Shown(display_, "Task Not Started"));

  FreeDisk();
  EXPECT_TRUE(test::WaitUntil([this] { return Runs().size() == kTasks; }, 40s)) << "the tasks run";
  std::this_thread::sleep_for(10s);
  EndVx();
  StartVx();
  std::this_thread::sleep_for(15s);
  EndVx();
  const std::map<std::string, int> once{{"1", 1}, {"2", 1}, {"3", 1}};
  EXPECT_EQ(Runs(), once);
}

}  // namespace
}  // namespace vx
