// The XTest keyboard on a private X server: which key types a character, and what a window
// with the focus receives.
#include "platform/keyboard_output.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>

#include <string>

#include "platform/key_press.h"
#include "private_display_test.h"

namespace vx::platform {
namespace {

// A focused window of a private server, and the keyboard of that server.
class X11KeyboardOutputTest : public test::FocusedWindowTest {
 protected:
  void SetUp() override {
    FocusedWindowTest::SetUp();
    if (display_ == nullptr) return;
    keyboard_ = MakeX11KeyboardOutput(server_.name());
  }

  // Presses a key code as the keystroke sender does: modifiers, the key, modifiers again.
  void Press(long code) { PressKeyCode(*keyboard_, code); }

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
