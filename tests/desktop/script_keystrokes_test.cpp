// Keystrokes on a real X display: a plain X client's window is found by its title, brought to
// the front, and receives the key groups, the typed text and a hot key's paste.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "datadll/dictionary/globals.h"
#include "platform/x11_display.h"
#include "program/script_engine/send_keys.h"
#include "program/script_engine/type_hot_key_text.h"
#include "program/script_engine/window_search.h"
#include "tests/platform/x11_test_display.h"
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vx {
namespace {

class ScriptKeystrokesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VX_REQUIRE_DISPLAY();
    display_ = platform::OpenX11Display();
    ASSERT_NE(display_, nullptr);
    title_ = "Keystroke target " + std::to_string(getpid());
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display_, window_, title_.c_str());
    XClassHint hint{const_cast<char*>("target"), const_cast<char*>("VxKeyTarget")};
    XSetClassHint(display_, window_, &hint);
    XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    for (XEvent e; XNextEvent(display_, &e), e.type != MapNotify;) {
    }
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
    GLO_EXCLUDEHIDDENWINDOWS = 0;
  }

  // What the window receives until `expected` has arrived or two seconds passed: characters
  // as typed, a Ctrl chord as "<Ctrl+v>".
  std::string Received(const std::string& expected) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (text != expected && std::chrono::steady_clock::now() < until) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      XEvent e;
      XNextEvent(display_, &e);
      if (e.type != KeyPress) continue;
      char buffer[16];
      KeySym keysym = 0;
      const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &keysym, nullptr);
      if (e.xkey.state & ControlMask) {
        text += "<Ctrl+" + std::string(XKeysymToString(XLookupKeysym(&e.xkey, 0))) + ">";
      } else {
        text.append(buffer, static_cast<std::size_t>(n));
      }
    }
    return text;
  }

  Display* display_ = nullptr;
  Window window_ = 0;
  std::string title_;
};

TEST_F(ScriptKeystrokesTest, TheWindowFoundByItsTitleReceivesKeyGroupsTextAndAPaste) {
  GLO_EXCLUDEHIDDENWINDOWS = 1;
  const std::int32_t found = FindWindowByTitle("", "KEYSTROKE TARGET*");
  ASSERT_EQ(static_cast<Window>(found), window_);
  ASSERT_EQ(FindWindowByTitle("", "*target " + std::to_string(getpid())), found);
  bool listed = false;
  for (long i = 1; TopWindowList.Get(i) == 0; ++i) {
    listed = listed || (TopWindowList.buffer.Handle == found &&
                        TopWindowList.buffer.ClassName == "VxKeyTarget");
  }
  EXPECT_TRUE(listed);

  ASSERT_TRUE(ScriptDesktop().Activate(static_cast<unsigned long>(found)));
  TypeText("Dear Sir, 42!");
  SendKeyText("ENTER");
  SendKeyText("+x");
  EXPECT_EQ(Received("Dear Sir, 42!\rX"), "Dear Sir, 42!\rX");

  TypeHotKeyText("", true);
  EXPECT_EQ(Received("<Ctrl+v>"), "<Ctrl+v>");
  TypeHotKeyText("ok", false);
  EXPECT_EQ(Received("ok"), "ok");
}

}  // namespace
}  // namespace vx
