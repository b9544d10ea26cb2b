// The built VX program on a real X display: a hot key made in its editor (Actions, New Hot Key)
// works at once, without a restart: pressed on the keyboard (XTest), it types its text into the
// window in front; a key another program holds is named in a message when it is saved.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "datadll/dictionary/vx_files.h"
#include "platform/virtual_keys.h"
#include "platform/x11_fake_keys.h"
#include "program/common/config_store.h"
#include "support/temp_folder.h"
#include "tests/desktop/press_until.h"
#include "tests/desktop/x_windows.h"
#include "tests/support/damaged_files.h"
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vx {
namespace {

using namespace std::chrono_literals;
using platform::FakeKeyChord;
using platform::kHotKeyAlt;
using platform::kHotKeyCtrl;
using platform::kHotKeyShift;

constexpr const char* kFrame = "Varnodex 2000";

class HotKeyEditorTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    test::TempFolderTest::SetUp();
    if (!test::XDisplayAvailable()) GTEST_SKIP() << "no X display";
    program_ = test::BuiltProgram();
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "VX is not built beside the tests";
    VX_Files_Load();
    SetConfigValue("MinimizeOnCloseRequest", "0");
    VX_Files_Unload();
    // The database is in the folder VX starts in: no folder question at start-up.
    if (!std::filesystem::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    // The window the hot key types into.
    title_ = "Hot key target " + std::to_string(getpid());
    target_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display_, target_, title_.c_str());
    XSelectInput(display_, target_, KeyPressMask | StructureNotifyMask);
    XMapWindow(display_, target_);
    for (XEvent e; XNextEvent(display_, &e), e.type != MapNotify;) {
    }
  }
  void TearDown() override {
    if (pid_ != 0) test::EndWithin(pid_, 30s, status_);
    if (display_) XCloseDisplay(display_);
    test::TempFolderTest::TearDown();
  }

  // What the target window received, until `expected` arrived or three seconds passed.
  std::string Received(const std::string& expected) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + 3s;
    while (text != expected && std::chrono::steady_clock::now() < until) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(5ms);
        continue;
      }
      XEvent e;
      XNextEvent(display_, &e);
      if (e.type != KeyPress || e.xkey.window != target_) continue;
      char buffer[16];
      KeySym keysym = 0;
      const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &keysym, nullptr);
      if ((e.xkey.state & (ControlMask | ShiftMask)) == 0)
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  std::filesystem::path program_;
  Display* display_ = nullptr;
  ::Window target_ = 0;
  std::string title_;
  pid_t pid_ = 0;
  int status_ = 0;
};

TEST_F(HotKeyEditorTest, AHotKeyMadeInTheEditorTypesItsTextAtOnceAndARefusedOneIsNamed) {
  pid_ = test::StartWithoutSessionBus(program_.string());
  ASSERT_NE(pid_, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return test::Shown(display_, kFrame); }, 30s))
      << "the frame appears";

  ASSERT_TRUE(test::PressUntil(display_, kFrame, kHotKeyCtrl | kHotKeyShift, 'H', [&] {
    return test::WaitUntil([&] { return test::Shown(display_, "New Hot Key"); }, 3s);
  })) << "Actions, New Hot Key opens the editor";
  // The new key starts as Ctrl+Shift: choose the key K, page on to the text, type it, OK.
  ASSERT_TRUE(test::FocusWindowTitled(display_, "New Hot Key"));
  std::this_thread::sleep_for(300ms);
  FakeKeyChord(kHotKeyAlt, 'K');  // "&Key:"
  std::this_thread::sleep_for(200ms);
  FakeKeyChord(0, 'K');
  std::this_thread::sleep_for(200ms);
  FakeKeyChord(kHotKeyAlt, 'N');  // to the action page
  std::this_thread::sleep_for(300ms);
  FakeKeyChord(kHotKeyAlt, 'N');  // to the text page, which starts in its text box
  std::this_thread::sleep_for(300ms);
  for (char c : std::string("HOTKEY")) FakeKeyChord(0, static_cast<unsigned>(c));
  std::this_thread::sleep_for(200ms);
  FakeKeyChord(kHotKeyAlt, 'O');
  ASSERT_TRUE(test::WaitUntil([&] { return !test::Shown(display_, "New Hot Key"); }, 5s))
      << "OK saves and closes";

  // Without a restart the key is held: pressed over the target window it types the text.
  std::string typed;
  for (int attempt = 0; attempt < 5 && typed != "hotkey"; ++attempt) {
    ASSERT_TRUE(test::FocusWindowTitled(display_, title_));
    std::this_thread::sleep_for(300ms);
    FakeKeyChord(kHotKeyCtrl | kHotKeyShift, 'K');
    typed = Received("hotkey");
  }
  EXPECT_EQ(typed, "hotkey");

  // A key another program holds (here the test's own grab) is named when it is saved.
  const KeyCode j = XKeysymToKeycode(display_, XK_j);
  XGrabKey(display_, j, ControlMask | ShiftMask, DefaultRootWindow(display_), False, GrabModeAsync,
           GrabModeAsync);
  XSync(display_, False);
  ASSERT_TRUE(test::PressUntil(display_, kFrame, kHotKeyCtrl | kHotKeyShift, 'H', [&] {
    return test::WaitUntil([&] { return test::Shown(display_, "New Hot Key"); }, 3s);
  }));
  ASSERT_TRUE(test::FocusWindowTitled(display_, "New Hot Key"));
  std::this_thread::sleep_for(300ms);
  FakeKeyChord(kHotKeyAlt, 'K');
  std::this_thread::sleep_for(200ms);
  FakeKeyChord(0, 'J');
  std::this_thread::sleep_for(200ms);
  FakeKeyChord(kHotKeyAlt, 'O');
  EXPECT_TRUE(test::WaitUntil([&] { return test::Shown(display_, "Hot Keys"); }, 5s))
      << "the refused key is reported in a message";
  XUngrabKey(display_, j, ControlMask | ShiftMask, DefaultRootWindow(display_));
  XSync(display_, False);
}

}  // namespace
}  // namespace vx
