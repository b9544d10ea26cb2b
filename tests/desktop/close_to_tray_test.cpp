// The built VX in a desktop session of its own (an X server with openbox and a tray host): on a
// new data folder, the title bar's close leaves the program running in the tray.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"
#include "tests/desktop/x_server.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFrame = "Varnodex 2000";

// Sends SIGTERM and reaps the child, SIGKILL when it has not ended within a few seconds.
void Stop(pid_t& pid) {
  if (pid == 0) return;
  int status = 0;
  test::EndWithin(pid, 5s, status);
  pid = 0;
}

// Whether some client has set a window manager's mark on the root window.
bool WindowManagerRuns(Display* display) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  const bool set =
      XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                         &format, &items, &after, &data) == Success &&
      items == 1;
  if (data) XFree(data);
  return set;
}

// Asks the window manager to close the window as its title bar's close button does.
void CloseByWindowManager(Display* display, ::Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = 2;  // from a pager or a test: obey at once
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
}

class CloseToTrayTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    for (const char* tool : {kOpenbox, kTrayer}) {
      if (!std::filesystem::exists(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    if (server_.name().empty()) GTEST_SKIP() << "Xvfb could not be started";
    display_ = XOpenDisplay(server_.name().c_str());
    ASSERT_NE(display_, nullptr);
    const std::vector<std::string> env = {"DISPLAY=" + server_.name()};
    window_manager_ = test::StartWithoutSessionBus(kOpenbox, {}, env);
    ASSERT_TRUE(test::WaitUntil([&] { return WindowManagerRuns(display_); }, 20s))
        << "openbox runs";
    tray_host_ = test::StartWithoutSessionBus(kTrayer, {}, env);
    const Atom tray = XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False);
    ASSERT_TRUE(test::WaitUntil([&] { return XGetSelectionOwner(display_, tray) != None; }, 20s))
        << "the tray host runs";
  }
  void TearDown() override {
    Stop(vx_);
    Stop(tray_host_);
    Stop(window_manager_);
    if (display_) XCloseDisplay(display_);
    test::TempFolderTest::TearDown();
  }

  bool Shown(const char* title) {
    return test::FindWindowTitled(display_, DefaultRootWindow(display_), title, true) != 0;
  }
  bool Running() { return vx_ != 0 && waitpid(vx_, nullptr, WNOHANG) == 0; }

  static constexpr const char* kOpenbox = "/usr/bin/openbox";
  static constexpr const char* kTrayer = "/usr/bin/trayer";
  test::XServer server_;
  std::filesystem::path program_;
  Display* display_ = nullptr;
  pid_t window_manager_ = 0, tray_host_ = 0, vx_ = 0;
};

TEST_F(CloseToTrayTest, TheTitleBarsCloseLeavesTheProgramInTheTrayOnANewDataFolder) {
  // A database no start has used yet: the folder is new to the program.
  test::MakeEmptyDatabase("VX97.TPS");
  vx_ = test::StartWithoutSessionBus(program_.string(), {}, {"DISPLAY=" + server_.name()});
  ASSERT_NE(vx_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return Shown(kFrame) && test::TrayIconDocked(display_); }, 30s))
      << "the frame shows and its tray icon docks";

  const ::Window frame = test::FindWindowTitled(display_, DefaultRootWindow(display_), kFrame);
  ASSERT_NE(frame, 0u);
  CloseByWindowManager(display_, frame);
  ASSERT_TRUE(test::WaitUntil([&] { return !Shown(kFrame); }, 20s)) << "the frame goes";
  // Long enough for an exit to have ended the program.
  EXPECT_FALSE(test::WaitUntil([&] { return !Running(); }, 3s)) << "VX ended on the close";
  EXPECT_TRUE(test::TrayIconDocked(display_)) << "the tray icon stays";

  int status = 0;
  ASSERT_TRUE(test::EndWithin(vx_, 30s, status)) << "VX did not end after SIGTERM";
  vx_ = 0;
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal "
                                 << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace vx
