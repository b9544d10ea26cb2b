#include "runtime/text_functions.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

// "é" is two bytes (C3 A9), "€" three (E2 82 AC).
const std::string kAccent = "caf\xC3\xA9";  // café: 5 bytes
const std::string kEuro =
    "a\xE2\x82\xAC"
    "b";  // a€b: 5 bytes

TEST(TextFunctions, ClipAndLen) {
  EXPECT_EQ(CLIP("abc   "), "abc");
  EXPECT_EQ(CLIP("  abc"), "  abc");
  EXPECT_EQ(CLIP("   "), "");
  EXPECT_EQ(CLIP(""), "");
  String<8> field = "ab";
  EXPECT_EQ(CLIP(field), "ab");
  EXPECT_EQ(LEN(field), 8);  // a fixed field counts its padding
  EXPECT_EQ(LEN(kAccent), 5);
}

TEST(TextFunctions, CaseMappingKeepsByteLength) {
  struct Case {
    std::string in, upper, lower;
  };
  const Case cases[] = {
      {"Beep.wav", "BEEP.WAV", "beep.wav"},
      {kAccent, "CAF\xC3\x89", "caf\xC3\xA9"},
      {"\xC3\x80\xC3\xA0", "\xC3\x80\xC3\x80", "\xC3\xA0\xC3\xA0"},  // À à
      {"\xC3\x97\xC3\xB7", "\xC3\x97\xC3\xB7", "\xC3\x97\xC3\xB7"},  // × ÷ are not letters
      {"\xC3\x9F", "\xC3\x9F", "\xC3\x9F"},  // ß has no one-letter upper case
      {kEuro,
       "A\xE2\x82\xAC"
       "B",
       "a\xE2\x82\xAC"
       "b"},
      {"1 2-[x]", "1 2-[X]", "1 2-[x]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UPPER(c.in), c.upper) << c.in;
    EXPECT_EQ(LOWER(c.in), c.lower) << c.in;
  }
  EXPECT_EQ(UPPER("\xC3"), "\xC3");  // a cut-off lead byte at the end is left alone
}

TEST(TextFunctions, SubStartsAndLengths) {
  struct Case {
    std::string text;
    long start, length;
    std::string expected;
  };
  const Case cases[] = {
      {"abcdef", 1, 3, "abc"},
      {"abcdef", 4, 3, "def"},
      {"abcdef", 4, 99, "def"},  // a length past the end stops at the end
      {"abcdef", 6, 1, "f"},
      {"abcdef", 7, 1, ""},    // start past the end
      {"abcdef", 0, 3, ""},    // start 0
      {"abcdef", 2, 0, ""},    // no length
      {"abcdef", 2, -4, ""},   // negative length
      {"abcdef", -1, 1, "f"},  // from the end
      {"abcdef", -3, 2, "de"},
      {"abcdef", -9, 2, "ab"},  // reaching before the start begins at 1
      {"", 1, 1, ""},
      {"abcdef", 2'000'000'000, 2'000'000'000, ""},
      {"abcdef", -2'000'000'000, 2'000'000'000, "abcdef"},
      // UTF-8: a cut never splits a character.
      {kAccent, 1, 4, "caf"},  // the end would split é: stop before it
      {kAccent, 4, 2, "\xC3\xA9"},
      {kAccent, 5, 1, ""},  // starting inside é: nothing whole fits in one byte
      {kEuro, 3, 3, "b"},   // start inside €: move on to b
      {kEuro, 2, 3, "\xE2\x82\xAC"},
      {kEuro, 2, 2, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SUB(c.text, c.start, c.length), c.expected)
        << c.text << " " << c.start << "," << c.length;
  }
}

TEST(TextFunctions, InstringFindsBytePositions) {
  struct Case {
    std::string search, text;
    long step, start, expected;
  };
  const Case cases[] = {
      {"(Unlocked)", "Varnodex (Unlocked)", 1, 1, 10},
      {"b", "abcabc", 1, 1, 2},
      {"b", "abcabc", 1, 3, 5},  // from a later start
      {"b", "abcabc", 1, 6, 0},
      {"b", "abcabc", 3, 1, 0},  // steps 1, 4: never on a "b"
      {"b", "abcabc", 3, 2, 2},
      {"b", "abcabc", -1, 6, 5},   // backwards from the end
      {"b", "abcabc", -1, 99, 5},  // a start past the end begins at the last place
      {"b", "abcabc", 1, -5, 2},   // a start before 1 begins at 1
      {"b", "abcabc", -1, 0, 0},
      {"x", "abcabc", 1, 1, 0},
      {"", "abc", 1, 1, 0},
      {"abcd", "abc", 1, 1, 0},  // longer than the text
      {"b", "abcabc", 0, 1, 0},  // step 0 never loops
      {"\xC3\xA9", kAccent, 1, 1, 4},
      {"\xE2\x82\xAC", kEuro, 1, 1, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(INSTRING(c.search, c.text, c.step, c.start), c.expected)
        << c.search << " in " << c.text << " step " << c.step << " start " << c.start;
  }
  EXPECT_EQ(INSTRING("b", "abc"), 2);
}

TEST(TextFunctions, Justification) {
  struct Case {
    std::string got, expected;
  };
  const Case cases[] = {
      {LEFT("  ab "), "ab   "},  // own length kept
      {LEFT("  ab", 6), "ab    "},
      {LEFT("  abcdef", 3), "abc"},
      {LEFT("  " + kAccent, 4), "caf "},  // cut before é, then padded
      {LEFT("ab", 0), ""},
      {LEFT("ab", -3), ""},
      {RIGHT("ab  "), "  ab"},
      {RIGHT("ab", 5), "   ab"},
      {RIGHT("abcdef", 3), "def"},  // a longer text keeps its end
      {RIGHT(kEuro, 3), "  b"},     // the last 3 bytes would split €
      {CENTER(" ab "), " ab "},
      {CENTER("ab", 5), " ab  "},
      {CENTER("abcdef", 4), "abcd"},
      {CENTER("", 3), "   "},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(TextFunctions, AllRepeatsToLength) {
  EXPECT_EQ(ALL("-", 5), "-----");
  EXPECT_EQ(ALL("ab", 5), "ababa");
  EXPECT_EQ(ALL("\xC3\xA9", 3), "\xC3\xA9");  // a third byte would split é
  EXPECT_EQ(ALL("", 5), "");
  EXPECT_EQ(ALL("x", 0), "");
  EXPECT_EQ(ALL(" ").size(), 255u);
}

TEST(TextFunctions, Numeric) {
  struct Case {
    const char* text;
    bool expected;
  };
  const Case cases[] = {
      {"12", true},   {" -12.5 ", true}, {"+0", true},   {".5", true}, {"5.", true},
      {"", false},    {"  ", false},     {"-", false},   {".", false}, {"1.2.3", false},
      {"12a", false}, {"1 2", false},    {"1e5", false},
  };
  for (const auto& c : cases) EXPECT_EQ(NUMERIC(c.text), c.expected) << "'" << c.text << "'";
}

}  // namespace
}  // namespace vx
