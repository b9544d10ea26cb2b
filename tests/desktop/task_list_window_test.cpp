// The built VX program on a real X display: Ctrl+S in the frame opens "Scheduled Tasks" over the
// stored tasks, and its list holds them: "E&xecute/Test" (Alt+X) performs the highlighted row,
// whose message window then appears under the task's description.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFirstTask = "Browse row one 5521";

// Presses a key with modifiers through XTest, as the user's keyboard would.
void PressKeys(Display* display, std::initializer_list<KeySym> modifiers, KeySym key) {
  for (KeySym m : modifiers) XTestFakeKeyEvent(display, XKeysymToKeycode(display, m), True, 0);
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, 0);
  for (KeySym m : modifiers) XTestFakeKeyEvent(display, XKeysymToKeycode(display, m), False, 0);
  XFlush(display);
}

class TaskListWindowTest : public test::TempFolderTest {
 protected:
  // Two switched-off message tasks of today: they never fall due by themselves, and the list
  // shows them since it shows every task of the day.
  static void PrepareDataFolder() {
    // The message shows in the program's window or the helper's, both titled with the task.
    VX_Files_Load();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    int id = 0;
    for (const char* description : {kFirstTask, "Browse row two 5521"}) {
      SCH = SCHEDULE_RECORD{};
      SCH.ID = ++id;
      SCH.TaskType = "Display Message";
      SCH.ScheduleType = "Once";
      SCH.Description = description;
      SCH.Message = "Shown from the list";
      SCH.Date = TODAY();
      SCH.Time = MakeTime(0, id);  // the first minutes of the day, in this order
      SCH.Disabled = 1;
      ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    }
    ACCESS_SCHEDULE->Close();
    VX_Files_Unload();
    if (!std::filesystem::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
  }
};

TEST_F(TaskListWindowTest, CtrlSOpensTheTaskListOverTheStoredTasks) {
  if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
  const std::filesystem::path program = test::BuiltProgram();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "VX is not built beside the tests";
  PrepareDataFolder();

  const pid_t pid = test::StartWithoutSessionBus(program.string());
  ASSERT_NE(pid, 0);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const ::Window root = DefaultRootWindow(display);
  const bool frame = test::WaitUntil(
      [&] { return test::FindWindowTitled(display, root, "Varnodex 2000", true) != 0; }, 30s);
  EXPECT_TRUE(frame) << "the frame appears";

  // Ctrl+S in the frame: the list of scheduled tasks.
  bool list = false;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       frame && !list && std::chrono::steady_clock::now() < until;) {
    test::FocusWindowTitled(display, "Varnodex 2000");
    std::this_thread::sleep_for(300ms);
    PressKeys(display, {XK_Control_L}, XK_s);
    list = test::WaitUntil(
        [&] { return test::FindWindowTitled(display, root, "Scheduled Tasks", true) != 0; }, 3s);
  }
  EXPECT_TRUE(list) << "Ctrl+S opens the task list";

  // Its first row is the day's first task: performing it shows that task's message.
  bool message = false;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       list && !message && std::chrono::steady_clock::now() < until;) {
    test::FocusWindowTitled(display, "Scheduled Tasks");
    std::this_thread::sleep_for(300ms);
    PressKeys(display, {XK_Alt_L}, XK_x);
    message = test::WaitUntil(
        [&] { return test::FindWindowTitled(display, root, kFirstTask, true) != 0; }, 3s);
  }
  EXPECT_TRUE(message) << "the highlighted row is the first stored task";
  // The external message program outlives the scheduler: end it with the test.
  pid_t helper = 0;
  if (message) {
    if (const ::Window shown = test::FindWindowTitled(display, root, kFirstTask, true))
      helper = test::WindowProcess(display, shown);
  }
  XCloseDisplay(display);
  if (helper != 0 && helper != pid) kill(helper, SIGTERM);  // not our child: nothing to reap

  int status = 0;
  ASSERT_TRUE(test::EndWithin(pid, 30s, status)) << "VX did not end after SIGTERM";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
}  // namespace vx
