// The XTest keyboard on a private X server: which key types a character, and what a window
// with the focus receives.
#include "platform/keyboard_output.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <string>
#include <thread>

#include "private_display_test.h"

namespace vx::platform {
namespace {

// A window that fills the screen and has the focus, and reads what is typed into it.
class X11KeyboardOutputTest : public test::PrivateDisplayTest {
 protected:
  void SetUp() override {
    PrivateDisplayTest::SetUp();
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 320, 240, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    for (XEvent e; XNextEvent(display_, &e), e.type != MapNotify;) {
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XSync(display_, False);
    keyboard_ = MakeX11KeyboardOutput(server_.name());
  }

  // Presses a key code as the keystroke sender does: modifiers, the key, modifiers again.
  void Press(long code) {
    const unsigned modifiers[] = {16, 17, 18, 91};
    for (int i = 0; i < 4; ++i)
      if (code & (kKeyShift << i)) keyboard_->Key(modifiers[i], true);
    keyboard_->Key(static_cast<unsigned>(code & 0xFF), true);
    keyboard_->Key(static_cast<unsigned>(code & 0xFF), false);
    for (int i = 0; i < 4; ++i)
      if (code & (kKeyShift << i)) keyboard_->Key(modifiers[i], false);
  }

  // The text the window receives until `count` characters arrived or a second passed.
  std::string Received(std::size_t count) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (text.size() < count && std::chrono::steady_clock::now() < until) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      XEvent e;
      XNextEvent(display_, &e);
      if (e.type == ButtonPress) text += "<button " + std::to_string(e.xbutton.button) + ">";
      if (e.type != KeyPress) continue;
      char buffer[16];
      KeySym keysym = 0;
      const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &keysym, nullptr);
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  Window window_ = 0;
  std::unique_ptr<KeyboardOutput> keyboard_;
};

TEST_F(X11KeyboardOutputTest, CharactersFindTheirKeyAndShiftOnTheLayout) {
  const struct {
    char32_t c;
    long code;
  } cases[] = {
      {'a', 65},
      {'A', kKeyShift + 65},
      {'1', 49},
      {'!', kKeyShift + 49},
      {'@', kKeyShift + 50},
      {' ', 32},
      {';', 186},
      {':', kKeyShift + 186},
      {'\n', 13},
      {'\r', 13},
      {'\t', 9},
      {U'\u4e2d', -1},
      {0x01, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(keyboard_->CharacterKey(c.c), c.code) << "for U+" << std::hex << +c.c;
}

TEST_F(X11KeyboardOutputTest, TheWindowWithTheFocusReceivesTheTypedText) {
  const std::string text = "Hi, there: 42!\n";
  for (char c : text) Press(keyboard_->CharacterKey(static_cast<unsigned char>(c)));
  EXPECT_EQ(Received(text.size()), "Hi, there: 42!\r");
}

TEST_F(X11KeyboardOutputTest, CapsLockAndHeldModifiersAreReadFromTheKeyboard) {
  EXPECT_FALSE(keyboard_->CapsLockOn());
  Press(20);
  EXPECT_TRUE(keyboard_->CapsLockOn());
  Press(65);
  EXPECT_EQ(Received(1), "A");
  Press(20);
  EXPECT_FALSE(keyboard_->CapsLockOn());

  EXPECT_FALSE(keyboard_->ModifiersHeld());
  keyboard_->Key(17, true);
  EXPECT_TRUE(keyboard_->ModifiersHeld());
  keyboard_->Key(17, false);
  EXPECT_FALSE(keyboard_->ModifiersHeld());
}

TEST_F(X11KeyboardOutputTest, MouseCodesClickTheirButtons) {
  for (unsigned code : {1u, 2u, 3u}) {
    keyboard_->Key(code, true);
    keyboard_->Key(code, false);
  }
  EXPECT_EQ(Received(30), "<button 1><button 3><button 2>");
}

TEST(X11KeyboardOutput, WithoutADisplayNothingIsTypedAndNothingFails) {
  const auto keyboard = MakeX11KeyboardOutput(":987");
  keyboard->Key(65, true);
  keyboard->Key(65, false);
  EXPECT_FALSE(keyboard->CapsLockOn());
  EXPECT_FALSE(keyboard->ModifiersHeld());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(keyboard->CharacterKey('a'), -1);
  // Once the display was found missing, it is not looked for again at every key.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace vx::platform
