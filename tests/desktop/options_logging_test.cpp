// The built VX program on a real X display: F10 opens the Options window, logging is turned on
// from the keyboard (the History tab, its "Log events" box, Enter for OK), and the next task
// that falls due writes its line to the event log. VX starts with the scheduler inactive ("/I",
// "/CONFIG" without the warning) so that the task, due already, waits for the same OK to switch
// the scheduler on.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "runtime/dates.h"
#include "runtime/storage/file.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/press_until.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFrame = "Varnodex 2000";
constexpr const char* kMarker = "options-log-line-5120";

class OptionsLoggingTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    test::CloseDataFiles();  // left open by an earlier test of this process, in its folder
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    // A window may vanish while the tests look through the tree: its error must not end them.
    previous_handler_ = XSetErrorHandler(test::IgnoreXError);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (display_) XSetErrorHandler(previous_handler_);
    if (pid_ != 0) {
      int status = 0;
      test::EndWithin(pid_, 10s, status);
    }
    test::TempFolderTest::TearDown();
  }

  // One program task due now, with logging off (as a new user has it).
  void PrepareDataFolder() {
    VX_Files_Load();
    SetConfigValue("LogEvents", "0");
    test::CloseDataFiles();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 1;
    SCH.TaskType = "Run Program";
    SCH.ScheduleType = "Once";
    SCH.Description = "Logged task";
    SCH.Command = std::string("/bin/true ") + kMarker;
    SCH.Date = TODAY();
    SCH.Time = CLOCK();
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();
    VX_Files_Unload();
    if (!std::filesystem::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
  }

  std::filesystem::path program_;
  Display* display_ = nullptr;
  int (*previous_handler_)(Display*, XErrorEvent*) = nullptr;
  pid_t pid_ = 0;
};

TEST_F(OptionsLoggingTest, F10OpensOptionsWhereLoggingIsTurnedOnForTheNextTask) {
  PrepareDataFolder();
  pid_ = test::StartWithoutSessionBus(program_.string(), {"/I", "/CONFIG"});
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kFrame); }, 30s))
      << "the frame appears";

  ASSERT_TRUE(test::PressUntil(display_, kFrame, 0, 0x79 /* F10 */, [&] {
    return test::WaitUntil([&] { return test::Shown(display_, "Options"); }, 3s);
  })) << "F10 opens Options";
  std::this_thread::sleep_for(300ms);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'H');  // the History tab
  std::this_thread::sleep_for(300ms);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'T');  // "Log events to ASCII text file"
  std::this_thread::sleep_for(300ms);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'A');  // "Scheduler active"
  std::this_thread::sleep_for(300ms);
  platform::FakeKeyChord(0, 0x0D);  // Enter: OK
  ASSERT_TRUE(test::WaitUntil([&] { return !test::Shown(display_, "Options"); }, 10s))
      << "OK closes Options";

  EXPECT_TRUE(
      test::WaitUntil([&] { return test::EventLogText().find(kMarker) != std::string::npos; }, 60s))
      << "the due task's line is in the event log:\n"
      << test::EventLogText();
  EXPECT_NE(test::EventLogText().find("Run Program"), std::string::npos);

  int status = 0;
  EXPECT_TRUE(test::EndWithin(pid_, 30s, status)) << "VX ends on SIGTERM";
  pid_ = 0;
  VX_Files_Load();
  EXPECT_EQ(GetConfigValue("LogEvents"), "1") << "the setting was saved";
  EXPECT_EQ(GetConfigValue("StartUpActive"), "0") << "stored inverted: active";
  test::CloseDataFiles();
  VX_Files_Unload();
}

}  // namespace
}  // namespace vx
