// The built VX program on a real X display: it opens its frame, docks its tray icon in a tray
// host (when one is installed) and ends cleanly when the desktop session ends (SIGTERM).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_folder.h"
#include "tests/desktop/x_windows.h"
#include "tests/platform/tray_host_helpers.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

using test::HasWindowTitled;

class VxExecutableTest : public test::TempFolderTest {};

TEST_F(VxExecutableTest, TheProgramShowsItsFrameAndEndsCleanlyWithTheSession) {
  const char* display_name = std::getenv("DISPLAY");
  if (!display_name || !*display_name) GTEST_SKIP() << "no X display";
  const std::filesystem::path program = test::BuiltProgram();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "VX is not built beside the tests";
  // A data folder that holds the database already: no folder question at start-up.
  test::MakeEmptyDatabase("VX97.TPS");

  test::Trayer tray_host;  // when installed: the tray icon has a place to go
  const pid_t pid = test::StartWithoutSessionBus(program.string());
  ASSERT_NE(pid, 0);

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  bool shown = false;
  bool docked = false;
  for (auto until = std::chrono::steady_clock::now() + 30s;
       !(shown && (docked || !tray_host.started())) && std::chrono::steady_clock::now() < until;) {
    shown = HasWindowTitled(display, DefaultRootWindow(display), "Varnodex 2000");
    if (tray_host.started()) docked = test::TrayIconDocked(display);
    std::this_thread::sleep_for(100ms);
  }
  XCloseDisplay(display);
  EXPECT_TRUE(shown) << "the frame window appears";
  if (tray_host.started()) {
    EXPECT_TRUE(docked) << "the tray icon sits in the tray host";
  }

  int status = 0;
  ASSERT_TRUE(test::EndWithin(pid, 30s, status)) << "VX did not end after SIGTERM";
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal "
                                 << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(std::filesystem::exists("POSITION.INI") || std::filesystem::exists("VX97.TPS"));
}

}  // namespace
}  // namespace vx
