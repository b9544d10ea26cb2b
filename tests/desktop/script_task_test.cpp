// The built VX program on a real X display runs a task whose script falls due now: a file is
// copied, a variable set and tested, a program started and waited for, and keys typed into a
// real window found by its title.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "platform/x11_display.h"
#include "runtime/dates.h"
#include "support/temp_folder.h"
#include "tests/desktop/due_message_task.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xutil.h>

namespace vx {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class ScriptTaskTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    display_ = platform::OpenX11Display();
    if (display_ == nullptr) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!fs::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    // The window the script types into.
    title_ = "Script target " + std::to_string(getpid());
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display_, window_, title_.c_str());
    XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    for (XEvent e; XNextEvent(display_, &e), e.type != MapNotify;) {
    }
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  // One step of task 1.
  static void AddStep(std::int32_t sequence, std::string_view action,
                      const std::function<void(SCRIPTING_RECORD&)>& fill) {
    SCR = SCRIPTING_RECORD{};
    SCR.ID = 1;
    SCR.Sequence = sequence;
    SCR.Action = action;
    fill(SCR);
    ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
  }

  void PrepareDataFolder() {
    const std::string here = fs::current_path().string();
    std::ofstream("a.txt") << "original\n";
    VX_Files_Load();
    test::AddDueProgramTask("Scripted chores", "N/A");  // nothing to start: only the script runs

    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    int n = 0;
    AddStep(++n, "File Actions", [&](auto& s) {
      s.DDEType = "Copy";
      s.Command = here + "/a.txt";
      s.Path = here + "/b.txt";
    });
    AddStep(++n, "Set Value", [](auto& s) {
      s.Path = "COUNT";
      s.Command = "=2+3";
    });
    AddStep(++n, "If Value...", [](auto& s) {
      s.Command = "COUNT";
      s.WindowTitleToCheckFor = "=";
      s.WaitForWindow = "5";
    });
    AddStep(++n, "Start Program", [&](auto& s) {
      s.Command = "/usr/bin/touch " + here + "/waited.txt";
      s.DDEApplicationName = "1211";
      s.TimeElapsed = 60;
    });
    AddStep(++n, "Set Focus", [&](auto& s) { s.FocusOnWindow = title_; });
    AddStep(++n, "Send Keys", [](auto& s) { s.Keystrokes = "hi[ENTER]"; });
    AddStep(++n, "...End If", [](auto&) {});
    AddStep(++n, "If Value...", [](auto& s) {
      s.Command = "ExitCode";
      s.WindowTitleToCheckFor = "=";
      s.WaitForWindow = "0";
    });
    AddStep(++n, "File Actions", [&](auto& s) {
      s.DDEType = "Copy";
      s.Command = here + "/b.txt";
      s.Path = here + "/c.txt";
    });
    AddStep(++n, "...End If", [](auto&) {});
    ACCESS_SCRIPTING->Close();
    VX_Files_Unload();
    if (!fs::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
  }

  // The characters typed into the window so far ("\r" for Enter).
  std::string Typed() {
    while (XPending(display_) > 0) {
      XEvent e;
      XNextEvent(display_, &e);
      if (e.type != KeyPress) continue;
      char buffer[16];
      KeySym keysym = 0;
      const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &keysym, nullptr);
      typed_.append(buffer, static_cast<std::size_t>(n));
    }
    return typed_;
  }

  Display* display_ = nullptr;
  ::Window window_ = 0;
  std::string title_;
  std::string typed_;
  fs::path program_;
};

TEST_F(ScriptTaskTest, ADueTaskRunsEveryStepOfItsScript) {
  PrepareDataFolder();
  const pid_t vx_pid = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(vx_pid, 0);
  for (auto until = std::chrono::steady_clock::now() + 60s;
       !(fs::exists("c.txt") && Typed() == "hi\r") && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(100ms);
  }
  int status = 0;
  EXPECT_TRUE(test::EndWithin(vx_pid, 30s, status)) << "VX ends on SIGTERM";

  EXPECT_TRUE(fs::exists("b.txt")) << "the first file action copied the file";
  EXPECT_TRUE(fs::exists("waited.txt")) << "the program was started";
  EXPECT_EQ(Typed(), "hi\r") << "the keys reached the window found by its title";
  EXPECT_TRUE(fs::exists("c.txt")) << "the exit code was tested after the program's end";
}

}  // namespace
}  // namespace vx
