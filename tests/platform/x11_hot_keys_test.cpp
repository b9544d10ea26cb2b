#include "platform/x11_hot_keys.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <memory>
#include <vector>

#include "platform/virtual_keys.h"
#include "platform/x11_display.h"
#include "platform/x11_error_trap.h"
#include "platform/x11_fake_keys.h"
#include "tests/platform/x11_test_display.h"

namespace vx::platform {
namespace {

using test::Inbox;
using test::PressUntilReceived;

struct Press {
  int id;
  unsigned modifiers, virtual_key;
};

// Each test uses its own keys: tests run in parallel processes on one display, and a key
// grabbed by one would be refused to another.
constexpr unsigned kF9 = 120, kF10 = 121, kF11 = 122, kF7 = 118, kF8 = 119;

// A grabber on the test display whose presses land in an inbox.
class X11HotKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VX_REQUIRE_DISPLAY();
    grabber = OpenX11HotKeyGrabber();
    ASSERT_TRUE(grabber);
    grabber->SetPressHandler([this](int id, unsigned m, unsigned vk) { inbox.Put({id, m, vk}); });
  }
  std::vector<Press> PressUntilHeard(unsigned modifiers, unsigned key) {
    return PressUntilReceived(inbox, [&] { return FakeKeyChord(modifiers, key); });
  }
  Inbox<Press> inbox;
  std::unique_ptr<HotKeyGrabber> grabber;
};

TEST_F(X11HotKeysTest, GrabbedKeyIsDeliveredWithItsId) {
  const unsigned chord = kHotKeyCtrl | kHotKeyAlt | kHotKeyShift;
  ASSERT_TRUE(grabber->Grab(3, chord, kF9));
  auto got = PressUntilHeard(chord, kF9);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, 3);
  EXPECT_EQ(got[0].modifiers, chord);
  EXPECT_EQ(got[0].virtual_key, kF9);
  EXPECT_TRUE(grabber->Ungrab(3));
  EXPECT_FALSE(grabber->Ungrab(3)) << "the id holds no key any more";
}

TEST_F(X11HotKeysTest, WindowsKeyIsMod4) {
  ASSERT_TRUE(grabber->Grab(1, kHotKeyWin | kHotKeyShift, kF8));
  auto got = PressUntilHeard(kHotKeyWin | kHotKeyShift, kF8);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].modifiers, kHotKeyWin | kHotKeyShift);
}

TEST_F(X11HotKeysTest, PressWithCapsLockOnStillCounts) {
  const unsigned chord = kHotKeyCtrl | kHotKeyWin;
  ASSERT_TRUE(grabber->Grab(2, chord, kF7));

  constexpr unsigned kCapsLock = 20;
  ASSERT_TRUE(FakeKeyChord(0, kCapsLock));  // lock on
  auto got = PressUntilHeard(chord, kF7);
  ASSERT_TRUE(FakeKeyChord(0, kCapsLock));  // lock off again
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, 2);
}

TEST(X11HotKeys, KeyHeldByAnotherClientIsRefused) {
  VX_REQUIRE_DISPLAY();
  Display* other = OpenX11Display();
  ASSERT_NE(other, nullptr);
  const KeyCode code = XKeysymToKeycode(other, XK_F10);
  XGrabKey(other, code, ControlMask | Mod1Mask, DefaultRootWindow(other), False, GrabModeAsync,
           GrabModeAsync);
  XSync(other, False);

  auto grabber = OpenX11HotKeyGrabber();
  ASSERT_TRUE(grabber);
  EXPECT_FALSE(grabber->Grab(1, kHotKeyCtrl | kHotKeyAlt, kF10));
  EXPECT_FALSE(grabber->Ungrab(1)) << "a refused key is not held";

  XUngrabKey(other, code, ControlMask | Mod1Mask, DefaultRootWindow(other));
  XSync(other, False);
  EXPECT_TRUE(grabber->Grab(1, kHotKeyCtrl | kHotKeyAlt, kF10))
      << "free again once the other client lets go";
  XCloseDisplay(other);
}

TEST(X11HotKeys, RefusedVariantsAreGivenBack) {
  // The other client holds only the Caps Lock variant: our grab fails as a whole, and the
  // plain variant we were granted is released, so the other client can take it.
  VX_REQUIRE_DISPLAY();
  Display* other = OpenX11Display();
  ASSERT_NE(other, nullptr);
  const KeyCode code = XKeysymToKeycode(other, XK_F11);
  const unsigned mods = ShiftMask | Mod1Mask | Mod4Mask;
  XGrabKey(other, code, mods | LockMask, DefaultRootWindow(other), False, GrabModeAsync,
           GrabModeAsync);
  XSync(other, False);

  auto grabber = OpenX11HotKeyGrabber();
  ASSERT_TRUE(grabber);
  EXPECT_FALSE(grabber->Grab(1, kHotKeyShift | kHotKeyAlt | kHotKeyWin, kF11));

  {
    X11ErrorTrap trap(other);
    XGrabKey(other, code, mods, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync);
    EXPECT_EQ(trap.Sync(), 0) << "the plain variant was left held";
  }
  XUngrabKey(other, code, AnyModifier, DefaultRootWindow(other));
  XCloseDisplay(other);
}

TEST(X11HotKeys, KeysWithoutAnX11KeyAreRefused) {
  VX_REQUIRE_DISPLAY();
  auto grabber = OpenX11HotKeyGrabber();
  ASSERT_TRUE(grabber);
  EXPECT_FALSE(grabber->Grab(1, kHotKeyCtrl, 1)) << "left mouse button";
  EXPECT_EQ(VirtualKeyToKeysym(1), 0u);
}

}  // namespace
}  // namespace vx::platform
