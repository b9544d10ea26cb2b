// The built VX program on a real X display runs a "Display Message" task that is due now: its
// message appears in the program's own message window, or in the vx-msg helper's window when
// the external message program is chosen.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/common/config_store.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Water the ferns 4417";

class TaskMessageWindowTest : public test::TempFolderTest {
 protected:
  // A data folder whose one task shows a message now, with the external message program on or
  // off.
  static void PrepareDataFolder(bool external) {
    test::AddDueMessageTask(kTitle, "They are thirsty.", external);
  }

  // Starts VX in the data folder and answers the process that owns the first window titled with
  // the task's description (0 when none appears in time); VX is ended afterwards.
  static pid_t MessageWindowOwner(pid_t& vx_pid) {
    const std::filesystem::path program = test::BuiltProgram();
    vx_pid = test::StartWithoutSessionBus(program.string());
    EXPECT_NE(vx_pid, 0);
    if (vx_pid == 0) return 0;
    Display* display = XOpenDisplay(nullptr);
    pid_t owner = 0;
    for (auto until = std::chrono::steady_clock::now() + 30s;
         display && std::chrono::steady_clock::now() < until;) {
      if (const ::Window w = test::FindWindowTitled(display, DefaultRootWindow(display), kTitle)) {
        owner = test::WindowProcess(display, w);
        if (owner != 0) break;
      }
      std::this_thread::sleep_for(100ms);
    }
    if (display) XCloseDisplay(display);
    // The program closes down with its message still shown: the message thread ends with it.
    int status = 0;
    EXPECT_TRUE(test::EndWithin(vx_pid, 30s, status)) << "VX ends on SIGTERM with a message open";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    return owner;
  }

  void SetUp() override {
    test::TempFolderTest::SetUp();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
  }
};

TEST_F(TaskMessageWindowTest, TheProgramShowsTheDueMessageInItsOwnWindow) {
  PrepareDataFolder(false);
  pid_t vx_pid = 0;
  const pid_t owner = MessageWindowOwner(vx_pid);
  EXPECT_NE(owner, 0) << "a window titled with the task's description appears";
  EXPECT_EQ(owner, vx_pid) << "the program's own message window";
}

TEST_F(TaskMessageWindowTest, TheExternalMessageProgramShowsTheDueMessage) {
  PrepareDataFolder(true);
  pid_t vx_pid = 0;
  const pid_t owner = MessageWindowOwner(vx_pid);
  ASSERT_NE(owner, 0) << "a window titled with the task's description appears";
  ASSERT_NE(owner, vx_pid) << "the helper's window, not the program's";
  kill(owner, SIGTERM);  // the helper lives on until its window is closed
}

}  // namespace
}  // namespace vx
