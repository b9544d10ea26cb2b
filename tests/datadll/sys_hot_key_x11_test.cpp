// The hot-key class on the real X server: presses made with XTest arrive as event 1810, and a
// key that another client holds is listed among the failed keys.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "datadll/utility/sys_hot_key_class.h"
#include "platform/virtual_keys.h"
#include "platform/x11_display.h"
#include "platform/x11_fake_keys.h"
#include "platform/x11_hot_keys.h"
#include "tests/platform/x11_test_display.h"

namespace vx {
namespace {

TEST(HotKeyClassOnX11, PressArrivesAsEvent1810WithTheKeyQueued) {
  VX_REQUIRE_DISPLAY();
  test::Inbox<std::function<void()>> window_thread;
  std::vector<int> posted;
  WindowLink link;
  link.post = [&](int event) { posted.push_back(event); };
  link.deliver = [&](std::function<void()> message) { window_thread.Put(std::move(message)); };

  SYSHOTKEYCLASS keys;
  keys.INIT(link, platform::OpenX11HotKeyGrabber());
  keys.ADDKEY("CtrlAltShiftF12");
  keys.ACTIVATE();
  ASSERT_TRUE(keys.FailedKeys.Records() == 0);

  auto messages = test::PressUntilReceived(window_thread, [] {
    return platform::FakeKeyChord(
        platform::kHotKeyCtrl | platform::kHotKeyAlt | platform::kHotKeyShift, 123);
  });
  ASSERT_FALSE(messages.empty());
  messages[0]();  // the window runs the message on its own thread
  ASSERT_EQ(keys.PressedKeys.Records(), 1u);
  EXPECT_EQ(keys.PressedKeys[1].code, 0x700 | 123);
  EXPECT_EQ(keys.PressedKeys[1].text, "CtrlAltShiftF12");
  EXPECT_EQ(posted, std::vector<int>{EVENT_HotKeyPressed});
  keys.KILL();
}

TEST(HotKeyClassOnX11, KeyHeldByAnotherClientIsAFailedKey) {
  VX_REQUIRE_DISPLAY();
  Display* other = platform::OpenX11Display();
  ASSERT_NE(other, nullptr);
  const KeyCode f6 = XKeysymToKeycode(other, XK_F6);
  XGrabKey(other, f6, ControlMask | Mod4Mask, DefaultRootWindow(other), False, GrabModeAsync,
           GrabModeAsync);
  XSync(other, False);

  SYSHOTKEYCLASS keys;
  keys.INIT(WindowLink{}, platform::OpenX11HotKeyGrabber());
  keys.ADDKEY("CtrlWinF6");
  keys.ADDKEY("CtrlWinF4");
  keys.ACTIVATE();
  ASSERT_EQ(keys.RegisteredKeys.Records(), 2u);
  ASSERT_EQ(keys.FailedKeys.Records(), 1u);
  EXPECT_EQ(keys.FailedKeys[1].text, "CtrlWinF6");
  keys.KILL();

  XUngrabKey(other, f6, ControlMask | Mod4Mask, DefaultRootWindow(other));
  XCloseDisplay(other);
}

}  // namespace
}  // namespace vx
