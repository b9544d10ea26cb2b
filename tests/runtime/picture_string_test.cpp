// Text pictures, picture tokens in their various spellings, and tokens that are no picture.
#include <cstdint>
#include <limits>
#include <string>

#include "runtime/picture.h"
#include "runtime/pictures.h"
#include "tests/runtime/picture_fixture.h"

namespace vx {
namespace {

TEST(PictureStrings, CutAndPadToTheWidth) {
  struct Row {
    const char* text;
    const char* picture;
    const char* shown;
  };
  const Row rows[] = {
      {"abc", "@s5", "abc  "},
      {"abcdef", "@s3", "abc"},
      {"abc", "@s", "abc"},
      {"x", "S3", "x  "},
      {"h\xc3\xa9llo", "@s2", "h "},         // "é" would be split: cut before it
      {"h\xc3\xa9llo", "@s3", "h\xc3\xa9"},  // it fits whole
      {"\xe2\x82\xac\xe2\x82\xac", "@s5", "\xe2\x82\xac  "},
      {"", "@s2", "  "},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FORMAT(r.text, r.picture), r.shown) << r.picture;
  }
  EXPECT_EQ(FORMAT(42, "@s4"), "42  ");
  EXPECT_EQ(DEFORMAT("h\xc3\xa9llo", "@s2"), "h");
  EXPECT_EQ(DEFORMAT("  keep  ", "@s20"), "  keep  ");
}

TEST(PictureTokens, SpellingsAndModifiers) {
  const auto d = ParsePicture("@D01-b");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->kind, PictureKind::Date);
  EXPECT_EQ(d->style, 1);
  EXPECT_TRUE(d->zero_pad);
  EXPECT_EQ(d->separator, '-');
  EXPECT_TRUE(d->blank_zero);

  const auto n = ParsePicture("n-10.2b");
  ASSERT_TRUE(n);
  EXPECT_EQ(n->kind, PictureKind::Number);
  EXPECT_EQ(n->sign, PictureSign::Leading);
  EXPECT_EQ(n->width, 10);
  EXPECT_EQ(n->decimals, 2);
  EXPECT_TRUE(n->blank_zero);

  const auto t = ParsePicture("  @T7B  ");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->kind, PictureKind::Time);
  EXPECT_EQ(t->style, 7);
  EXPECT_TRUE(t->blank_zero);

  for (const char* bad :
       {"", "@", "@PROMPT", "@TIP", "@d", "@d0", "@d19", "@t9", "@dx", "@d3bb", "@n(5", "@n5)",
        "@n5q", "@s5x", "@n999999", "@s9999999", "@n5.99", "@x3"}) {
    EXPECT_FALSE(ParsePicture(bad)) << "\"" << bad << "\"";
  }
}

TEST(PictureTokens, NoPictureShowsThePlainValue) {
  EXPECT_EQ(FORMAT(5, "@PROMPT"), "5");
  EXPECT_EQ(FORMAT(-2.5, ""), "-2.5");
  EXPECT_EQ(FORMAT("abc", "@d19"), "abc");
  EXPECT_EQ(DEFORMAT("abc", "@x"), "abc");
  EXPECT_EQ(DeformatDate("10/31/59", "nonsense"), 0);
}

// A picture read once formats every text as FORMAT does with the token (a list's column formats
// its cells so).
TEST(PictureTokens, APictureReadOnceFormatsAsTheToken) {
  const char* pictures[] = {"@d3", "@D17", "@t4", "@n-10.2", "@n$9.2b",
                            "@s4", "@s",   "d6",  "@PROMPT", ""};
  const char* texts[] = {"80030", "+43200", "0", "-1234.5", "abcdef", "12abc", "", "x"};
  for (const char* picture : pictures) {
    const TextPicture once(picture);
    for (const char* text : texts)
      EXPECT_EQ(once.Format(text), FORMAT(text, picture)) << picture << " / " << text;
  }
}

// A text under a date or time picture shows the whole part of the number it starts with, as the
// number itself would show: plain digits (a list's fields) and every other kind of text alike.
TEST(PictureTokens, ATextUnderADateOrTimeShowsTheWholeNumberItStartsWith) {
  constexpr std::int64_t kHuge = std::numeric_limits<std::int64_t>::max();
  const struct {
    const char* text;
    std::int64_t value;
  } cases[] = {
      {"80030", 80030},
      {"  80030", 80030},
      {"+80030", 80030},
      {"-5", -5},
      {"80030.9", 80030},
      {"80030abc", 80030},
      {"80030 12", 80030},
      {"", 0},
      {"-", 0},
      {"abc", 0},
      {"-.5", 0},
      {"1e5", 1},
      {"4320001", 4320001},
      {"0", 0},
      {"-0", 0},
      {" -80030x", -80030},
      {"123456789012345", 123456789012345},
      {"0000000000000080030", 80030},
      {"99999999999999999999", kHuge},
      {"2147483648", 2147483648},
  };
  for (const char* picture : {"@d3", "@D17b", "@d1", "@t3", "@T7b", "@t4"}) {
    const TextPicture once(picture);
    for (const auto& c : cases) {
      EXPECT_EQ(FORMAT(c.text, picture), FORMAT(c.value, picture)) << picture << " / " << c.text;
      EXPECT_EQ(once.Format(c.text), FORMAT(c.value, picture)) << picture << " / " << c.text;
    }
  }
}

}  // namespace
}  // namespace vx
