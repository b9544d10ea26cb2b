// The key-press class: its name table and parser, the delimiter syntax and the queue on a
// keyboard that records what it is asked, then the same keys typed into a real window of a
// private X server, and the mouse pointer moved and read there.
#include "datadll/utility/press_key_class.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>

#include <string>

#include "fakes/fake_keyboard.h"
#include "tests/platform/private_display_test.h"

namespace vx {
namespace {

// The recording keyboard, with the braces and the tilde of a US layout besides.
class BraceKeyboard final : public platform::KeyboardOutput {
 public:
  explicit BraceKeyboard(test::FakeKeyboard& keys) : keys_(keys) {}
  void Key(unsigned virtual_key, bool down) override { keys_.Key(virtual_key, down); }
  bool CapsLockOn() override { return keys_.CapsLockOn(); }
  bool ModifiersHeld() override { return keys_.ModifiersHeld(); }
  long CharacterKey(char32_t c) override {
    if (c == '{') return platform::kKeyShift + 219;
    if (c == '}') return platform::kKeyShift + 221;
    if (c == '~') return platform::kKeyShift + 192;
    return keys_.CharacterKey(c);
  }

 private:
  test::FakeKeyboard& keys_;
};

class PressKeyClassTest : public ::testing::Test {
 protected:
  PressKeyClassTest() : press_(std::make_unique<BraceKeyboard>(keys_)) { press_.INIT("{}"); }
  test::FakeKeyboard keys_;
  PRESSKEYCLASS press_;
};

TEST_F(PressKeyClassTest, NamesReadToKeyCodesAndBack) {
  EXPECT_EQ(PressKeyTable().size(), 105u);
  EXPECT_EQ(press_.TRNQ.Records(), 105);
  const struct {
    const char* name;
    long code;
  } names[] = {
      {"Print", 42},          {"PrintScreen", 44}, {"+ctrl-a", 833},  {"", 0},
      {"Shift", 256},         {"ctrl", 512},       {"ALT", 1024},     {"CTRL-ALT-F5", 1652},
      {"^%F5", 1652},         {"F5KEY", 116},      {"*r", 2048 + 82}, {"win-lwin", 2048 + 91},
      {"Backspace", 8},       {"MouseLeft2", 5},   {"pad7", 103},     {"Nokey", 0},
      {"Shift-Tab", 256 + 9}, {"--Enter", 13},
  };
  for (const auto& n : names) EXPECT_EQ(press_.TRNKEYNAME(n.name), n.code) << n.name;
  const struct {
    unsigned long code;
    const char* name;
  } codes[] = {{833, "Shift-Ctrl-A"}, {44, "PrintScreen"},      {42, "Print"},
               {1652, "Alt-Ctrl-F5"}, {2048 + 13, "Win-Enter"}, {256 + 250, "Shift-"}};
  for (const auto& c : codes) EXPECT_EQ(press_.TRNVIRTKEY(c.code), c.name) << c.code;
}

TEST_F(PressKeyClassTest, KeyNamesBetweenDelimitersArePressedAndTheRestTyped) {
  const struct {
    const char* delimiters;
    const char* text;
    const char* keys;  // the keys pressed, as the fake records them
  } cases[] = {
      // "Dear " typed, Enter pressed, a doubled brace types one, then x.
      {"{}", "Dear {Enter}{{x",
       "v16 v68 ^68 ^16 v69 ^69 v65 ^65 v82 ^82 v32 ^32 v13 ^13 v16 v219 ^219 ^16 v88 ^88"},
      // A name the table lacks is typed as it stands.
      {"{}", "{Nokey}",
       "v16 v219 ^219 ^16 v16 v78 ^78 ^16 v79 ^79 v75 ^75 v69 ^69 v89 ^89 v16 v221 ^221 ^16"},
      // A key with modifiers; blanks between two keys are typed.
      {"{}", "{^S} {Tab}", "v17 v83 ^83 ^17 v32 ^32 v9 ^9"},
      // One delimiter opens and closes.
      {"~", "a~Tab~b", "v65 ^65 v9 ^9 v66 ^66"},
      // No closing delimiter: the text as it stands.
      {"{}", "a{b", "v65 ^65 v16 v219 ^219 ^16 v66 ^66"},
  };
  for (const auto& c : cases) {
    keys_.events.clear();
    press_.INIT(c.delimiters);
    press_.PRESSEX(c.text);
    EXPECT_EQ(keys_.Events(), c.keys) << c.text;
  }
}

TEST_F(PressKeyClassTest, CapsLockIsOffWhileTextAndTheQueueAreTyped) {
  keys_.caps_lock = true;
  press_.ZQPRESS("a");
  EXPECT_EQ(keys_.Events(), "v20 ^20 v65 ^65 v20 ^20");
  keys_.events.clear();
  press_.ZQPRESS("   ");  // blank: nothing
  EXPECT_EQ(keys_.Events(), "");

  keys_.caps_lock = false;
  press_.STRINGTOQ("Hi");
  press_.KEYTOQ("Enter");
  ASSERT_EQ(press_.KEYQ.Records(), 3);
  EXPECT_EQ(press_.KEYQ[1].ID, 256 + 'H');
  EXPECT_EQ(press_.KEYQ[3].KEY, "Enter");
  press_.PRESSQ();
  EXPECT_EQ(keys_.Events(), "v16 v72 ^72 ^16 v73 ^73 v13 ^13");
}

using PressKeyClassOnX11 = test::FocusedWindowTest;

TEST_F(PressKeyClassOnX11, TheWindowWithTheFocusGetsTheKeysAndTheText) {
  PRESSKEYCLASS press(platform::MakeX11KeyboardOutput(server_.name()),
                      platform::MakeX11MousePointer(server_.name()));
  press.INIT("{}");
  press.PRESSEX("Dear {Enter}{{x {Nokey}{Tab}");
  press.ZQPRESSKEYSTR("+a");
  const std::string expected = "Dear \r{x {Nokey}\tA";
  EXPECT_EQ(Received(expected.size()), expected);

  press.SETMOUSEPOS(123, 45);
  long x = 0, y = 0;
  press.GETMOUSEPOS(x, y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 45);
  press.KILL();
}

}  // namespace
}  // namespace vx
