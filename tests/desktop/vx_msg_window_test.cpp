// The vx-msg helper on a real X display: it shows the handed-over message in its own window, and
// its Snooze button adds the reminder task by the scheduler's snooze setting, as the program's
// own window does.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "program/common/external_message.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Call Anna 5521";

class VxMsgWindowTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
  }
};

TEST_F(VxMsgWindowTest, SnoozeInTheHelpersWindowAddsTheReminderBySetting) {
  VX_Files_Load();
  SetConfigValue("SnoozeInterval", "15");
  std::int32_t id = 0;
  ASSERT_EQ(AddMessageLinkRecord(kTitle, "About the budget", "", id), 0);
  VX_Files_Unload();

  const std::filesystem::path helper =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vx-msg";
  const std::int32_t before = CLOCK();
  const std::int32_t day = TODAY();
  const pid_t pid = test::StartWithoutSessionBus(helper.string(), {"ID=" + std::to_string(id)});
  ASSERT_NE(pid, 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  int status = -1;
  bool ended = false;
  // Focus the helper's window and press Alt+S ("&Snooze") until it closes.
  for (auto until = std::chrono::steady_clock::now() + 30s;
       !ended && std::chrono::steady_clock::now() < until;) {
    if (const ::Window w = test::FindWindowTitled(display, DefaultRootWindow(display), kTitle)) {
      XSetInputFocus(display, w, RevertToParent, CurrentTime);
      XSync(display, False);
      std::this_thread::sleep_for(200ms);
      platform::FakeKeyChord(platform::kHotKeyAlt, 'S');
    }
    for (int i = 0; i < 10 && !ended; ++i) {
      ended = waitpid(pid, &status, WNOHANG) == pid;
      std::this_thread::sleep_for(50ms);
    }
  }
  XCloseDisplay(display);
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(ended) << "the window closes on Snooze";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

  VX_Files_Load();
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  ASSERT_EQ(ACCESS_SCHEDULE->Set(SCH_KEYID), 0);
  ASSERT_EQ(ACCESS_SCHEDULE->Next(), 0) << "a reminder task was added";
  EXPECT_EQ(SCH.Category, "Snooze");
  EXPECT_EQ(SCH.Description, kTitle);
  EXPECT_EQ(SCH.Message, "About the budget");
  // Due in 15 minutes (the setting, not the default of 10), give or take the test's own time.
  const std::int64_t due = static_cast<std::int64_t>(SCH.Date - day) * 8640000 + SCH.Time;
  EXPECT_GE(due, before + 15 * 6000);
  EXPECT_LT(due, before + 17 * 6000);
  ACCESS_SCHEDULE->Close();
  VX_Files_Unload();
}

}  // namespace
}  // namespace vx
