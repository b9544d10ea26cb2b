// The built VX program on a real X display: it opens its frame, docks its tray icon in a tray
// host (when one is installed) and ends cleanly when the desktop session ends (SIGTERM).
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would clash with gtest's own names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/platform/temp_folder.h"
#include "tests/platform/tray_host_helpers.h"

extern char** environ;

namespace vx {
namespace {

using namespace std::chrono_literals;

std::string WindowName(Display* display, ::Window window) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &items, &after, &data) ==
          Success &&
      data) {
    name.assign(reinterpret_cast<char*>(data), items);
    XFree(data);
  }
  if (name.empty()) {
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) && plain) {
      name = plain;
      XFree(plain);
    }
  }
  return name;
}

// The first window at or below `window` whose title starts with `title`; 0 when none.
::Window FindWindowTitled(Display* display, ::Window window, const std::string& title) {
  if (WindowName(display, window).rfind(title, 0) == 0) return window;
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  ::Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = FindWindowTitled(display, children[i], title);
  if (children) XFree(children);
  return found;
}

bool HasWindowTitled(Display* display, ::Window window, const std::string& title) {
  return FindWindowTitled(display, window, title) != 0;
}

// Whether the tray host's panel holds a window of the program (its docked tray icon).
bool TrayIconDocked(Display* display) {
  const ::Window panel = FindWindowTitled(display, DefaultRootWindow(display), "panel");
  if (!panel) return false;
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, panel, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) found = HasWindowTitled(display, children[i], "VX");
  if (children) XFree(children);
  return found;
}

class VxExecutableTest : public test::TempFolderTest {};

TEST_F(VxExecutableTest, TheProgramShowsItsFrameAndEndsCleanlyWithTheSession) {
  const char* display_name = std::getenv("DISPLAY");
  if (!display_name || !*display_name) GTEST_SKIP() << "no X display";
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "VX";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "VX is not built beside the tests";
  // A data folder that holds the database already: no folder question at start-up.
  std::ofstream("VX97.TPS").close();

  const std::string path = program.string();
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  // No session bus on the test display: without this, the desktop libraries try to launch one
  // by forking, which can hang a sanitised, threaded program.
  std::vector<std::string> env_text;
  for (char** e = environ; *e; ++e) {
    if (std::string_view(*e).rfind("DBUS_SESSION_BUS_ADDRESS=", 0) != 0) env_text.emplace_back(*e);
  }
  env_text.emplace_back("DBUS_SESSION_BUS_ADDRESS=disabled:");
  env_text.emplace_back("NO_AT_BRIDGE=1");
  std::vector<char*> env;
  for (std::string& e : env_text) env.push_back(e.data());
  env.push_back(nullptr);
  test::Trayer tray_host;  // when installed: the tray icon has a place to go
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, env.data()), 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  bool shown = false;
  bool docked = false;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       !(shown && (docked || !tray_host.started())) && std::chrono::steady_clock::now() < until;) {
    shown = HasWindowTitled(display, DefaultRootWindow(display), "Varnodex 2000");
    if (tray_host.started()) docked = TrayIconDocked(display);
    std::this_thread::sleep_for(100ms);
  }
  XCloseDisplay(display);
  EXPECT_TRUE(shown) << "the frame window appears";
  if (tray_host.started()) {
    EXPECT_TRUE(docked) << "the tray icon sits in the tray host";
  }

  kill(pid, SIGTERM);
  int status = 0;
  pid_t ended = 0;
  for (auto until = std::chrono::steady_clock::now() + 30s; ended == 0 && std::chrono::steady_clock::now() < until;) {
    ended = waitpid(pid, &status, WNOHANG);
    if (ended == 0) std::this_thread::sleep_for(50ms);
  }
  if (ended == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "VX did not end after SIGTERM";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(std::filesystem::exists("POSITION.INI") || std::filesystem::exists("VX97.TPS"));
}

}  // namespace
}  // namespace vx
