// The built VX program on a real X display, used as a person would: "New Message (Wizard)" from
// the frame's keyboard shortcut, a message typed, the time set two minutes ahead on the
// Scheduling page, OK; when the time comes, the message appears in its own window.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/press_until.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using test::PressUntil;

constexpr const char* kFrame = "Varnodex 2000";
constexpr const char* kForm = "New Task";
constexpr unsigned kColonKey = 186;  // the ";" key; with Shift, ":"
constexpr unsigned kTabKey = 9;

// Types letters, digits, blanks and colons as key presses into the focused window.
void TypeText(const std::string& text) {
  for (const char c : text) {
    if (c == ':') {
      platform::FakeKeyChord(platform::kHotKeyShift, kColonKey);
    } else if (c >= 'a' && c <= 'z') {
      platform::FakeKeyChord(0, static_cast<unsigned>(c - 'a' + 'A'));
    } else {
      platform::FakeKeyChord(0, static_cast<unsigned char>(c));
    }
    std::this_thread::sleep_for(10ms);
  }
}

class NewMessageTaskTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    // An empty data folder; due messages show in the program's own window.
    test::StoreSettings({{"UseVXMsg", "0"}});
    if (!std::filesystem::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (pid_ != 0 && waitpid(pid_, &status_, WNOHANG) == 0) test::EndWithin(pid_, 10s, status_);
    test::TempFolderTest::TearDown();
  }

  std::filesystem::path program_;
  Display* display_ = nullptr;
  pid_t pid_ = 0;
  int status_ = 0;
};

TEST_F(NewMessageTaskTest, AMessageTypedForTwoMinutesAheadAppearsWhenDue) {
  // The task is for today: a clock about to pass midnight would make it tomorrow's.
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  if (local.tm_hour == 23 && local.tm_min >= 55) GTEST_SKIP() << "too close to midnight";
  const std::string message = "feed the cat " + std::to_string(getpid() % 100000);

  pid_ = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kFrame); }, 30s))
      << "the frame appears";
  ASSERT_TRUE(
      PressUntil(display_, kFrame, platform::kHotKeyCtrl | platform::kHotKeyShift, 'M',
                 [&] { return test::WaitUntil([&] { return test::Shown(display_, kForm); }, 3s); }))
      << "Ctrl+Shift+M opens the message wizard";

  // The wizard's first page opens with the typing place in the description; Tab moves on to
  // the message.
  ASSERT_TRUE(test::FocusWindowTitled(display_, kForm));
  std::this_thread::sleep_for(300ms);
  TypeText(message);
  platform::FakeKeyChord(0, kTabKey);
  TypeText(message);
  // Next: the Scheduling page; Alt+T: its time, whose text typing replaces.
  platform::FakeKeyChord(platform::kHotKeyAlt, 'N');
  std::this_thread::sleep_for(300ms);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'T');
  std::this_thread::sleep_for(200ms);
  now = std::time(nullptr) + 120;
  localtime_r(&now, &local);
  char due[8];
  std::snprintf(due, sizeof due, "%02d:%02d", local.tm_hour, local.tm_min);
  TypeText(due);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'O');
  ASSERT_TRUE(test::WaitUntil([&] { return !test::Shown(display_, kForm); }, 10s))
      << "OK stores the task";

  // The message appears in a window titled with it once its minute has come.
  const auto typed = std::chrono::steady_clock::now();
  EXPECT_FALSE(test::Shown(display_, message)) << "not before it is due";
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, message); }, 200s))
      << "the message window of \"" << message << "\" appears when due at " << due;
  EXPECT_GT(std::chrono::steady_clock::now() - typed, 50s) << "it waited for its time";
  // The message helper, when the settings chose it, lives on until its window closes.
  const ::Window shown =
      test::FindWindowTitled(display_, DefaultRootWindow(display_), message, true);
  if (const pid_t owner = shown != 0 ? test::WindowProcess(display_, shown) : 0;
      owner > 0 && owner != pid_) {
    kill(owner, SIGTERM);
  }

  ASSERT_TRUE(test::EndWithin(pid_, 30s, status_)) << "VX ends on SIGTERM";
  pid_ = 0;
  EXPECT_TRUE(WIFEXITED(status_) && WEXITSTATUS(status_) == 0) << "status " << status_;
}

// A weekday message set for an hour of today that has passed (the 09:00 when the day is
// past it) is not shown on OK: it waits for its next weekday.
TEST_F(NewMessageTaskTest, AWeekdayMessageForAPassedHourWaitsForTheNextWeekday) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // A minute of today that has passed, whole minutes before the current one.
  if (local.tm_hour == 0 && local.tm_min < 3) GTEST_SKIP() << "too close to midnight";
  if (local.tm_hour == 23 && local.tm_min >= 58) GTEST_SKIP() << "too close to midnight";
  const int hour = local.tm_hour >= 10 ? 9 : (local.tm_hour * 60 + local.tm_min - 2) / 60;
  const int minute = local.tm_hour >= 10 ? 0 : (local.tm_hour * 60 + local.tm_min - 2) % 60;
  char typed[16];
  std::snprintf(typed, sizeof typed, "%02d:%02d", hour, minute);
  const std::string message = "standup " + std::to_string(getpid() % 100000);

  pid_ = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kFrame); }, 30s));
  ASSERT_TRUE(PressUntil(
      display_, kFrame, platform::kHotKeyCtrl | platform::kHotKeyShift, 'M',
      [&] { return test::WaitUntil([&] { return test::Shown(display_, kForm); }, 3s); }));
  ASSERT_TRUE(test::FocusWindowTitled(display_, kForm));
  std::this_thread::sleep_for(300ms);
  TypeText(message);  // the description, then the message
  platform::FakeKeyChord(0, kTabKey);
  TypeText(message);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'N');  // the Scheduling page: Monday to Friday
  std::this_thread::sleep_for(300ms);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'T');
  std::this_thread::sleep_for(200ms);
  TypeText(typed);
  platform::FakeKeyChord(platform::kHotKeyAlt, 'O');
  ASSERT_TRUE(test::WaitUntil([&] { return !test::Shown(display_, kForm); }, 10s))
      << "OK stores the task without a question";

  // A due message shows within a tick or two; this one does not show at all.
  EXPECT_FALSE(test::WaitUntil([&] { return test::Shown(display_, message); }, 15s))
      << "the message of \"" << message << "\" set for " << typed << " appeared at once";
  ASSERT_TRUE(test::EndWithin(pid_, 30s, status_));
  pid_ = 0;

  VX_Files_Load();
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  SCH = SCHEDULE_RECORD{};
  ACCESS_SCHEDULE->Set(SCH_KEYID);
  ASSERT_EQ(ACCESS_SCHEDULE->TryNext(), 0);
  const SCHEDULE_RECORD task = SCH;
  test::CloseDataFiles();
  VX_Files_Unload();
  std::int32_t weekday = TODAY() + 1;
  while (WeekDay(weekday) == 0 || WeekDay(weekday) == 6) ++weekday;
  EXPECT_EQ(task.Message.str(), message);
  EXPECT_EQ(task.Date, weekday) << "the next weekday";
  EXPECT_EQ(task.Time, MakeTime(hour, minute));
  EXPECT_EQ(task.LastRunDate, 0) << "it has not run";
}

}  // namespace
}  // namespace vx
