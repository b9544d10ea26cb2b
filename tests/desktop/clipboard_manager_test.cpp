// The built VX program on a real X display with clipboard monitoring on and the Clipboard
// Manager opened at start: a text another program (xclip) puts on the X clipboard is in the
// manager's list within two seconds, and "&Copy to Clipboard" puts it back on the X clipboard.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "datadll/dictionary/vx_files.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "support/temp_folder.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFrame = "Varnodex 2000";
constexpr const char* kManager = "Clipboard Manager";

// Runs a shell command line and answers what it printed.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Another program takes the X clipboard with `text` (xclip stays behind to serve it).
void XclipSet(const std::string& text) {
  ASSERT_EQ(std::system(("printf %s '" + text + "' | xclip -selection clipboard -i").c_str()), 0);
}

std::string XclipGet() { return Output("xclip -selection clipboard -o 2>/dev/null"); }

class ClipboardManagerTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
    if (std::system("command -v xclip >/dev/null") != 0) GTEST_SKIP() << "xclip is missing";
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    VX_Files_Load();
    SetConfigValue("MinimizeOnCloseRequest", "0");
    SetConfigValue("MonitorClipboard", "1");
    SetConfigValue("StartUpClipboardSaver", "1");
    VX_Files_Unload();
    if (!std::filesystem::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (pid_ != 0) test::EndWithin(pid_, 30s, status_);
    if (display_) XCloseDisplay(display_);
    test::TempFolderTest::TearDown();
  }

  std::filesystem::path program_;
  Display* display_ = nullptr;
  pid_t pid_ = 0;
  int status_ = 0;
};

TEST_F(ClipboardManagerTest, AnotherProgramsTextIsListedAndCopiedBackToTheXClipboard) {
  pid_ = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kFrame); }, 30s));
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kManager); }, 30s))
      << "the manager opens at start";
  ASSERT_TRUE(test::FocusWindowTitled(display_, kManager));
  std::this_thread::sleep_for(500ms);

  const std::string text = "Desk clip 4417 " + std::to_string(getpid());
  XclipSet(text);
  std::this_thread::sleep_for(2s);  // captured on Main's next tick, listed on the window's
  // A blank clipboard is never captured; copying from the list is then the only way back.
  XclipSet("   ");
  ASSERT_TRUE(test::WaitUntil([&] { return XclipGet() == "   "; }, 5s));
  platform::FakeKeyChord(platform::kHotKeyAlt, 'C');  // "&Copy to Clipboard"
  EXPECT_TRUE(test::WaitUntil([&] { return XclipGet() == text; }, 5s))
      << "the list's newest row is the text, copied back: got [" << XclipGet() << "]";
}

}  // namespace
}  // namespace vx
