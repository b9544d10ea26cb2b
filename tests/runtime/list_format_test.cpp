#include "runtime/window/list_format.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace vx {
namespace {

TEST(ListFormat, ReadsEveryPartOfAColumn) {
  const auto cols = ParseListFormat("40L(2)M|~Date~C@d6b@#1#");
  ASSERT_EQ(cols.size(), 1u);
  const ListColumn& c = cols[0];
  EXPECT_EQ(c.width, 40);
  EXPECT_EQ(c.justify, 'L');
  EXPECT_EQ(c.indent, 2);
  EXPECT_TRUE(c.resizable);
  EXPECT_TRUE(c.right_border);
  EXPECT_EQ(c.header, "Date");
  EXPECT_EQ(c.header_justify, 'C');
  EXPECT_EQ(c.picture, "@d6b");
  EXPECT_EQ(c.field, 1);
  EXPECT_EQ(WriteListFormat(cols), "40L(2)M|~Date~C@d6b@#1#");
}

TEST(ListFormat, FieldNumbersRunOnPastColourAndIconFields) {
  // Two icon columns with colours, then plain columns: each "*" takes four fields after the
  // value and each "I" one more.
  const auto cols = ParseListFormat(
      "12L*I@s1@12L*I@s1@47LM*~Date~@d3@32R(1)|M*~Time~L@t3@57L~Category~@s20@E(255,-1,16777215,"
      "0)");
  ASSERT_EQ(cols.size(), 5u);
  EXPECT_EQ(cols[0].field, 1);
  EXPECT_EQ(cols[0].ColorField(), 2);
  EXPECT_EQ(cols[0].IconField(), 6);
  EXPECT_EQ(cols[1].field, 7);
  EXPECT_EQ(cols[2].field, 13);
  EXPECT_EQ(cols[3].field, 18);
  EXPECT_EQ(cols[3].justify, 'R');
  EXPECT_EQ(cols[3].indent, 1);
  EXPECT_EQ(cols[3].header_justify, 'L');
  EXPECT_EQ(cols[4].field, 23);
  EXPECT_EQ(cols[4].normal_fg, 255);
  EXPECT_EQ(cols[4].selected_fg, 16777215);
  EXPECT_EQ(cols[4].selected_bg, 0);
}

TEST(ListFormat, ANumberTooLargeForItsPlaceIsLeftAtItsDefaultAndReported) {
  struct Case {
    const char* format;
    int width, indent, header_indent, field;
    long normal_fg;
  };
  const Case cases[] = {
      {"80L~A~@s20@#2147483647#", 80, 0, 0, 0, -1},
      {"80L*I~A~@s20@#2147483644#", 80, 0, 0, 0, -1},
      {"80L~A~@s20@#65536#", 80, 0, 0, 0, -1},
      {"80L~A~@s20@#-99999999999#", 80, 0, 0, 0, -1},
      {"99999999999L~A~@s20@#1#", 0, 0, 0, 1, -1},
      {"80L(99999999999)~A~@s20@#1#", 80, 0, 0, 1, -1},
      {"80L~A~R(4294967297)@s20@#1#", 80, 0, 0, 1, -1},
      {"80L~A~@s20@#1#E(99999999999999999999,0,0,0)", 80, 0, 0, 1, -1},
  };
  for (const Case& c : cases) {
    bool in_range = true;
    const auto cols = ParseListFormat(c.format, &in_range);
    EXPECT_FALSE(in_range) << c.format;
    ASSERT_EQ(cols.size(), 1u) << c.format;
    EXPECT_EQ(cols[0].width, c.width) << c.format;
    EXPECT_EQ(cols[0].indent, c.indent) << c.format;
    EXPECT_EQ(cols[0].header_indent, c.header_indent) << c.format;
    EXPECT_EQ(cols[0].field, c.field) << c.format;
    EXPECT_EQ(cols[0].normal_fg, c.normal_fg) << c.format;
  }
  bool in_range = false;
  ParseListFormat("80L(2)M|~A~R(3)@s20@#65535#E(255,-1,16777215,0)", &in_range);
  EXPECT_TRUE(in_range);
}

// Parses are kept for the whole process: threads that read different formats, over and over and
// at the same time, each get their own format's columns and range, and a format read again after
// many others still reads as before.
TEST(ListFormat, EveryThreadGetsTheColumnsOfTheFormatItReads) {
  struct Expected {
    std::string format;
    std::size_t columns;
    std::string first_header;
    int last_field;
    bool in_range;
  };
  const Expected cases[] = {
      {"12L*I@s1@47L~Date~@d3@32R~Time~@t3@", 3, "", 8, true},
      {"80L~Name~@s20@#4#40R~Count~@n5@", 2, "Name", 5, true},
      {"80L~Wide~@s20@#65536#", 1, "Wide", 0, false},
      {"", 0, "", 0, true},
  };
  const auto check = [&](const Expected& c) {
    bool in_range = !c.in_range;
    const auto cols = ParseListFormat(c.format, &in_range);
    bool right = cols.size() == c.columns && in_range == c.in_range;
    if (right && !cols.empty())
      right = cols.front().header == c.first_header && cols.back().field == c.last_field;
    return right;
  };
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        if (!check(cases[(t + static_cast<std::size_t>(i)) % std::size(cases)])) ++wrong;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, 0);

  for (int i = 0; i < 600; ++i) ParseListFormat(std::to_string(i + 1) + "L~Column~@s10@");
  for (const Expected& c : cases) EXPECT_TRUE(check(c)) << c.format;
  EXPECT_EQ(ParseListFormat("7L~Column~@s10@").front().width, 7);
}

TEST(ListFormat, DatePicturesAreReplacedOnly) {
  EXPECT_EQ(ReplaceDatePictures("47L~Date~@d3@32R~Time~@t3@47L~Last~@D17B@", "d6"),
            "47L~Date~@d6@32R~Time~@t3@47L~Last~@d6@");
}

}  // namespace
}  // namespace vx
