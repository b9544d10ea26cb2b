// Key groups by name, typed text and the key events they make, on a recording keyboard.
#include "program/script_engine/send_keys.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <optional>

#include <string>
#include <vector>

#include "program/script_engine/script_variables.h"
#include "tests/fakes/fake_keyboard.h"
#include "tests/program/script_fixture.h"

namespace vx {
namespace {

class SendKeysTest : public ScriptFixture {
 protected:
  test::FakeKeyboard keyboard_;
  const ScopedProgramServices installed_{&ProgramServices::script_keyboard, &keyboard_};
};

TEST(KeyNameToCode, NamesPrefixesAndModifierWords) {
  constexpr long Shift = 256, Ctrl = 512, Alt = 1024;
  const struct {
    const char* name;
    long code;
  } cases[] = {
      {"ENTER", 13},
      {"enter", 13},
      {"ENTER   ", 13},
      {"A", 65},
      {"z", 90},
      {"7", 55},
      {"PAD7", 103},
      {"F1", 112},
      {"F12", 123},
      {"F13", 0},
      {"F01", 0},
      {"AST", 106},
      {"CAPS", 20},
      {"CAPSLOCK", 20},
      {"PGDN", 34},
      {"MOUSERIGHT", 2},
      {"MOUSECENTER2", 7},
      {"^S", Ctrl + 83},
      {"CTRL-S", Ctrl + 83},
      {"ctrl-s", Ctrl + 83},
      {"CTRLS", Ctrl + 83},
      {"Ctrl+S", Ctrl + Shift + 83},
      {"SHIFTTAB", Shift + 9},
      {"ALT-F4", Alt + 115},
      {"^%DELETE", Ctrl + Alt + 46},
      {"+a", Shift + 65},
      {"-A", 65},
      {"F1KEY", 112},
      {"KEYF1", 112},
      {"F1key", 0},
      {"CtrlV", Ctrl + 86},
      {"", 0},
      {"HELLO", 0},
      {" ENTER", 0},
      // A modifier named twice counts once, instead of adding up to another modifier.
      {"^CTRL-S", Ctrl + 83},
      {"++A", Shift + 65},
      // Modifiers with no key after them give the modifiers alone, pressed and released.
      {"^", Ctrl},
      {"CTRL", Ctrl},
      {"%ALT-", Alt},
      {"SHIFT-HELLO", Shift},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyNameToCode(c.name), c.code) << "for: [" << c.name << "]";
}

TEST(KeyNameToCode, ALongRunOfPrefixesIsReadWithoutDeepCalls) {
  EXPECT_EQ(KeyNameToCode(std::string(200000, '-') + "ENTER"), 13);
}

TEST_F(SendKeysTest, KeyGroupsPressModifiersAroundTheirKey) {
  const struct {
    const char* group;
    const char* events;
  } cases[] = {
      {"ENTER", "v13 ^13"},   {"^%DELETE", "v17 v18 v46 ^46 ^17 ^18"}, {"F1KEY", "v112 ^112"},
      {"KEYF1", "v112 ^112"}, {"Ctrl+S", "v16 v17 v83 ^83 ^16 ^17"},   {"MOUSE", "v1 ^1"},
  };
  for (const auto& c : cases) {
    keyboard_.events.clear();
    SendKeyText(c.group);
    EXPECT_EQ(keyboard_.Events(), c.events) << "for: [" << c.group << "]";
  }
  keyboard_.events.clear();
  PressKeyCode(2048 + 'D');  // the Windows key goes down last and up last
  EXPECT_EQ(keyboard_.Events(), "v91 v68 ^68 ^91");
}

TEST_F(SendKeysTest, AGroupThatIsNoKeyTypesItsVariableOrItself) {
  SendKeyText("hello");
  EXPECT_EQ(keyboard_.Events(), "v72 ^72 v69 ^69 v76 ^76 v76 ^76 v79 ^79");

  SetScriptVariable("Ok 1", "ANSWER");
  keyboard_.events.clear();
  SendKeyText("ANSWER");
  EXPECT_EQ(keyboard_.Events(), "v16 v79 ^79 ^16 v75 ^75 v32 ^32 v49 ^49");

  keyboard_.events.clear();
  SendKeyText("^hi");  // Ctrl with a word that is no key: Ctrl alone is pressed
  EXPECT_EQ(keyboard_.Events(), "v17 ^17");
}

TEST_F(SendKeysTest, TextIsTypedWithShiftForCapitalsAndCapsLockOffMeanwhile) {
  TypeText("Ab");
  EXPECT_EQ(keyboard_.Events(), "v16 v65 ^65 ^16 v66 ^66");

  keyboard_.events.clear();
  keyboard_.caps_lock = true;
  TypeText("abc");
  EXPECT_EQ(keyboard_.Events(), "v20 ^20 v65 ^65 v66 ^66 v67 ^67 v20 ^20");

  keyboard_.events.clear();
  TypeText("");
  EXPECT_EQ(keyboard_.Events(), "");  // not even Caps Lock
}

TEST_F(SendKeysTest, EachLineEndIsOneEnterAndCharactersWithoutAKeyAreLeftOut) {
  TypeText("a\r\nb\nc\rd");
  EXPECT_EQ(keyboard_.Events(), "v65 ^65 v13 ^13 v66 ^66 v13 ^13 v67 ^67 v13 ^13 v68 ^68");

  keyboard_.events.clear();
  TypeText(
      "a\xE2\x82\xAC"
      "b\xFF"
      "c\xE2\x82");  // a euro sign, a stray byte, a cut character
  EXPECT_EQ(keyboard_.Events(), "v65 ^65 v66 ^66 v67 ^67");
}

TEST_F(SendKeysTest, MalformedUtf8ReadsAsReplacementCharacters) {
  const struct {
    const char* text;
    std::u32string characters;
  } cases[] = {
      {"\xC3\xA9", U"\u00E9"},                            // a well-formed two-byte character
      {"\xF0\x9F\x98\x80", U"\U0001F600"},                // and a four-byte one
      {"\xC0\xAF", U"\uFFFD\uFFFD"},                      // an overlong "/"
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // the same in three bytes
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
  };
  for (const auto& c : cases) {
    keyboard_.characters.clear();
    TypeText(c.text);
    EXPECT_TRUE(keyboard_.characters == c.characters)
        << "for: " << ::testing::PrintToString(std::string(c.text));
  }
}

}  // namespace
}  // namespace vx
