// The built VX program on a real X display ends cleanly with a list, a form and a task's message
// window open, whether it is told to by File, Exit or by the end of the session (SIGTERM): every
// window's thread closes before the data library goes. The end of the session also ends it with
// Options open, a window on the frame's own thread.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "runtime/storage/file.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFrame = "Varnodex 2000";
constexpr const char* kMessage = "Prune the roses 5120";

// Presses a key chord in the window titled `title` (brought to the front and focused first)
// until `done` holds. Other tests' key presses on the same display can swallow one: retried.
bool PressUntil(Display* display, const char* title, unsigned modifiers, unsigned key,
                const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!test::FocusWindowTitled(display, title)) {
      std::this_thread::sleep_for(200ms);
      continue;
    }
    std::this_thread::sleep_for(200ms);
    platform::FakeKeyChord(modifiers, key);
    if (done()) return true;
    platform::FakeKeyChord(0, 0x1B);  // Esc: a menu left open by a swallowed key goes
  }
  return false;
}

class ExitWithWindowsOpenTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    test::CloseDataFiles();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    test::AddDueMessageTask(kMessage, "Before the frost.", false);
    test::StoreSettings({{"MinimizeOnCloseRequest", "0"},  // Exit asks nothing
                         {"LogEvents", "1"}});  // the end writes its line to the event log
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (pid_ != 0 && waitpid(pid_, &status_, WNOHANG) == 0) test::EndWithin(pid_, 5s, status_);
    // The message is set to show in VX's own window: no helper may have been started, and
    // none may outlive the test.
    EXPECT_EQ(test::EndProcessesIn(root()), 0) << "a process VX started was left running";
    test::TempFolderTest::TearDown();
  }

  // Starts VX; once the frame and the task's message window are up, opens the Holidays list
  // through the File menu and a new holiday's form from the list.
  void StartWithWindowsOpen() {
    pid_ = test::StartWithoutSessionBus(program_.string());
    ASSERT_NE(pid_, 0);
    ASSERT_TRUE(test::WaitUntil(
        [&] { return test::Shown(display_, kFrame) && test::Shown(display_, kMessage); }, 30s))
        << "the frame and the task's message window appear";
    ASSERT_TRUE(PressUntil(display_, kFrame, platform::kHotKeyAlt, 'F', [&] {
      platform::FakeKeyChord(0, 'H');
      return test::WaitUntil([&] { return test::Shown(display_, "Holidays"); }, 3s);
    })) << "File, Holidays opens the list";
    ASSERT_TRUE(PressUntil(display_, "Holidays", platform::kHotKeyAlt, 'N', [&] {
      return test::WaitUntil([&] { return test::Shown(display_, "New Holiday"); }, 3s);
    })) << "the list's New opens the form";
  }

  void ExpectCleanEnd() const {
    ASSERT_TRUE(WIFEXITED(status_))
        << "ended by signal " << (WIFSIGNALED(status_) ? WTERMSIG(status_) : 0);
    EXPECT_EQ(WEXITSTATUS(status_), 0);
  }

  std::filesystem::path program_;
  Display* display_ = nullptr;
  pid_t pid_ = 0;
  int status_ = 0;
};

TEST_F(ExitWithWindowsOpenTest, TheEndOfTheSessionClosesEveryWindowFirst) {
  StartWithWindowsOpen();
  ASSERT_TRUE(test::EndWithin(pid_, 30s, status_)) << "VX did not end after SIGTERM";
  pid_ = 0;
  ExpectCleanEnd();
}

// Options runs on the frame's own thread: the end of the session closes it as if cancelled and
// the frame then ends as always, with its line in the event log.
TEST_F(ExitWithWindowsOpenTest, TheEndOfTheSessionClosesOptionsOpenOverTheFrame) {
  pid_ = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil(
      [&] { return test::Shown(display_, kFrame) && test::Shown(display_, kMessage); }, 30s))
      << "the frame and the task's message window appear";
  ASSERT_TRUE(PressUntil(display_, kFrame, 0, 0x79 /* F10 */, [&] {
    return test::WaitUntil([&] { return test::Shown(display_, "Options"); }, 3s);
  })) << "F10 opens Options";
  ASSERT_TRUE(test::EndWithin(pid_, 30s, status_))
      << "VX did not end after SIGTERM with Options open";
  pid_ = 0;
  ExpectCleanEnd();
  EXPECT_NE(test::EventLogText().find("Exit Varnodex"), std::string::npos) << test::EventLogText();
}

TEST_F(ExitWithWindowsOpenTest, FileExitClosesEveryWindowFirst) {
  StartWithWindowsOpen();
  ASSERT_TRUE(PressUntil(display_, kFrame, platform::kHotKeyAlt, 'F', [&] {
    platform::FakeKeyChord(0, 'X');
    return test::WaitUntil([&] { return waitpid(pid_, &status_, WNOHANG) == pid_; }, 20s);
  })) << "File, Exit ends VX";
  pid_ = 0;
  ExpectCleanEnd();
}

}  // namespace
}  // namespace vx
