// The built VX program on a real X display: Ctrl+O in the frame opens "Contacts" over the stored
// contacts, and a second Ctrl+O, pressed with the frame in front, brings that same list forward
// again instead of opening another.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "support/temp_folder.h"
#include "tests/desktop/x_windows.h"
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vx {
namespace {

using namespace std::chrono_literals;

void PressCtrlO(Display* display) {
  const KeyCode ctrl = XKeysymToKeycode(display, XK_Control_L);
  const KeyCode o = XKeysymToKeycode(display, XK_o);
  XTestFakeKeyEvent(display, ctrl, True, 0);
  XTestFakeKeyEvent(display, o, True, 0);
  XTestFakeKeyEvent(display, o, False, 0);
  XTestFakeKeyEvent(display, ctrl, False, 0);
  XFlush(display);
}

// The shown top-level windows (children of the root, which a window manager's frames are too)
// holding a window titled `title`, and the stacking place of the highest of them (-1: none).
struct Stacked {
  int count = 0;
  int highest = -1;
};
Stacked StackedTitled(Display* display, const std::string& title) {
  Stacked found;
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return found;
  for (unsigned i = 0; i < count; ++i) {  // bottom to top
    if (test::FindWindowTitled(display, children[i], title, true) != 0) {
      ++found.count;
      found.highest = static_cast<int>(i);
    }
  }
  if (children) XFree(children);
  return found;
}

class ContactsWindowTest : public test::TempFolderTest {
 protected:
  static void PrepareDataFolder() {
    VX_Files_Load();
    // Opening a table makes it: the schedule's table is the one the start-up looks for.
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->Close();
    ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
    ACCESS_CONTACT->PrimeRecord();
    C_.LastName = "Desktop 7731";
    C_.Email = "desk@example.org";
    ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
    ACCESS_CONTACT->Close();
    VX_Files_Unload();
  }
};

TEST_F(ContactsWindowTest, CtrlOOpensTheContactsAndASecondPressBringsThemForward) {
  if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
  const std::filesystem::path program = test::BuiltProgram();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "VX is not built beside the tests";
  PrepareDataFolder();

  const pid_t pid = test::StartWithoutSessionBus(program.string());
  ASSERT_NE(pid, 0);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const bool frame = test::WaitUntil([&] { return test::Shown(display, "Varnodex 2000"); }, 30s);
  EXPECT_TRUE(frame) << "the frame appears";

  bool list = false;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       frame && !list && std::chrono::steady_clock::now() < until;) {
    test::FocusWindowTitled(display, "Varnodex 2000");
    std::this_thread::sleep_for(300ms);
    PressCtrlO(display);
    list = test::WaitUntil([&] { return test::Shown(display, "Contacts"); }, 3s);
  }
  EXPECT_TRUE(list) << "Ctrl+O opens the contacts";

  // The frame in front of the list, then Ctrl+O again: the one list comes back over it.
  bool forward = false;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       list && !forward && std::chrono::steady_clock::now() < until;) {
    test::FocusWindowTitled(display, "Varnodex 2000");
    const bool frame_in_front = test::WaitUntil(
        [&] {
          return StackedTitled(display, "Varnodex 2000").highest >
                 StackedTitled(display, "Contacts").highest;
        },
        3s);
    if (!frame_in_front) continue;
    std::this_thread::sleep_for(300ms);
    PressCtrlO(display);
    forward = test::WaitUntil(
        [&] {
          return StackedTitled(display, "Contacts").highest >
                 StackedTitled(display, "Varnodex 2000").highest;
        },
        3s);
  }
  EXPECT_TRUE(forward) << "a second Ctrl+O raises the open list";
  std::this_thread::sleep_for(500ms);  // a second window, had one been opened, would show by now
  if (list) {
    EXPECT_EQ(StackedTitled(display, "Contacts").count, 1);
  }
  XCloseDisplay(display);

  int status = 0;
  ASSERT_TRUE(test::EndWithin(pid, 30s, status)) << "VX did not end after SIGTERM";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
}  // namespace vx
