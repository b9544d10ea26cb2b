// Two VX on one data folder: the second brings the first one's frame to the front and ends with
// one line on stderr and exit code 0; the first runs on.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

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

// The child of the root that holds `window` (the window itself, or the window manager's frame
// around it).
::Window TopLevelOf(Display* display, ::Window window) {
  for (;;) {
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (parent == root || parent == 0) return window;
    window = parent;
  }
}

// Whether `upper` lies above `lower` among the root's children (XQueryTree lists them bottom up).
bool StackedOver(Display* display, ::Window upper, ::Window lower) {
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return false;
  int upper_at = -1, lower_at = -1;
  for (unsigned i = 0; i < count; ++i) {
    if (children[i] == upper) upper_at = static_cast<int>(i);
    if (children[i] == lower) lower_at = static_cast<int>(i);
  }
  if (children) XFree(children);
  return upper_at > lower_at && lower_at >= 0;
}

class SecondCopyTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    test::CloseDataFiles();
    if (!fs::exists(test::BuiltProgram())) GTEST_SKIP() << "VX is not built beside the tests";
    display_ = test::OpenTestDisplay();
    if (!display_) GTEST_SKIP() << "no X display";
  }
  void TearDown() override {
    if (cover_) XDestroyWindow(display_, cover_);
    if (display_) XCloseDisplay(display_);
    for (pid_t pid : {first_, second_}) {
      int status = 0;
      if (pid != 0) test::EndWithin(pid, 10s, status);
    }
    test::EndProcessesIn(data_);
    test::TempFolderTest::TearDown();
  }

  Display* display_ = nullptr;
  ::Window cover_ = 0;
  pid_t first_ = 0, second_ = 0;
  fs::path data_;
};

TEST_F(SecondCopyTest, TheSecondBringsTheFirstForwardAndEndsWithALine) {
  data_ = root() / "data" / "varnodex";
  fs::create_directories(data_);
  // A folder with its database already, so that the first start has no box of its own, and no
  // task list opening beside the frame (it would take the keyboard when it comes).
  fs::current_path(data_);
  test::StoreSettings({{"StartUpSchedule", "1"}});
  fs::current_path(root());

  first_ = test::StartAsTheRunScriptDoes(data_, root() / "first.txt");
  ASSERT_NE(first_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kFrame); }, 60s))
      << test::FileBytes(root() / "first.txt");
  const ::Window frame = TopLevelOf(
      display_, test::FindWindowTitled(display_, DefaultRootWindow(display_), kFrame, true));
  ASSERT_NE(frame, 0u);

  // Another program's window over the frame, with the keyboard: the user works elsewhere.
  cover_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1280, 1024, 0, 0, 0);
  XStoreName(display_, cover_, "Another program");
  XMapRaised(display_, cover_);
  XSync(display_, False);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, "Another program"); }, 10s));
  ASSERT_TRUE(test::FocusWindowTitled(display_, "Another program"));
  ASSERT_TRUE(test::WaitUntil(
      [&] { return StackedOver(display_, TopLevelOf(display_, cover_), frame); }, 10s));

  ASSERT_TRUE(test::WaitUntil(
      [&] {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        return focus == cover_;
      },
      10s));
  second_ = test::StartAsTheRunScriptDoes(data_, root() / "second.txt");
  ASSERT_NE(second_, 0);
  int status = 0;
  const bool ended =
      test::WaitUntil([&] { return waitpid(second_, &status, WNOHANG) == second_; }, 60s);
  ASSERT_TRUE(ended) << "the second VX did not end";
  second_ = 0;
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string said = test::FileBytes(root() / "second.txt");
  EXPECT_NE(said.find("VX: Varnodex is already running on the data folder " + data_.string() +
                      " (process " + std::to_string(first_) + ")"),
            std::string::npos)
      << said;

  EXPECT_TRUE(test::WaitUntil(
      [&] { return StackedOver(display_, frame, TopLevelOf(display_, cover_)); }, 10s))
      << "the first one's frame came to the front" << test::FileBytes(root() / "first.txt");
  EXPECT_EQ(waitpid(first_, &status, WNOHANG), 0) << "the first runs on";

  ASSERT_TRUE(test::EndWithin(first_, 30s, status)) << "the first VX did not end after SIGTERM";
  first_ = 0;
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace vx
