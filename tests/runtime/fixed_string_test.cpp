#include "runtime/fixed_string.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

TEST(FixedString, StringIsBlankPaddedAndCut) {
  String<5> s("ab");
  EXPECT_EQ(s.view(), "ab   ");
  EXPECT_EQ(s.clipped(), "ab");
  s = "abcdefg";
  EXPECT_EQ(s.view(), "abcde");
  EXPECT_TRUE(String<3>().blank());
}

TEST(FixedString, ComparisonsIgnoreTrailingBlanks) {
  EXPECT_TRUE(String<10>("abc") == "abc");
  EXPECT_TRUE(String<10>("abc") == String<4>("abc "));
  EXPECT_TRUE(String<10>("abc") < String<10>("abd"));
  EXPECT_FALSE(String<10>(" abc") == "abc");  // leading blanks count
}

// Clipping passes blanks several at a time: every length of text and of padding, inner blanks
// and a last character that is not a blank but close to one, clip to the text alone.
TEST(FixedString, ClipRemovesExactlyTheTrailingBlanks) {
  for (const std::string text : {"", "x", "a b", "abcdefg", "abcdefgh", "  lead", "tab\t", "!"}) {
    for (std::size_t pad = 0; pad <= 40; ++pad) {
      const std::string padded = text + std::string(pad, ' ');
      EXPECT_EQ(ClipView(padded), text.substr(0, text.find_last_not_of(' ') + 1))
          << '"' << padded << '"';
    }
  }
  String<8192> long_field(std::string(9, 'z'));
  EXPECT_EQ(long_field.clipped(), std::string(9, 'z'));
  EXPECT_TRUE(long_field == "zzzzzzzzz");
  EXPECT_TRUE(String<8192>().blank());
}

TEST(FixedString, CutNeverSplitsACharacter) {
  // "é" is two bytes: a cut at 4 bytes of "abcé" would split it.
  String<4> s("abc\xC3\xA9");
  EXPECT_EQ(s.view(), "abc ");
  CString<5> c("abc\xC3\xA9");  // room for 4 bytes
  EXPECT_EQ(c.view(), "abc");
  CString<6> d("abc\xC3\xA9");
  EXPECT_EQ(d.view(), "abc\xC3\xA9");
}

TEST(FixedString, CStringHoldsAtMostNMinusOne) {
  CString<4> c("abcdef");
  EXPECT_EQ(c.view(), "abc");
  EXPECT_STREQ(c.c_str(), "abc");
  c = std::string_view("x\0y", 3);
  EXPECT_EQ(c.view(), "x");
}

// A view with no data behind it (a defaulted string_view, a null C string) empties the field
// without handing memcpy a null pointer (the sanitizers stop the test otherwise).
TEST(FixedString, AnEmptyViewWithoutDataEmptiesTheField) {
  String<5> s("abc");
  s = std::string_view();
  EXPECT_EQ(s.view(), "     ");
  s = "abc";
  s = static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.blank());
  CString<5> c("abc");
  c = std::string_view();
  EXPECT_EQ(c.view(), "");
}

}  // namespace
}  // namespace vx
