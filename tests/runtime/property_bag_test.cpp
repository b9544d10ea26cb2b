// The texts a window keeps by property, and the numbers read from them.
#include "runtime/window/property_bag.h"

#include <gtest/gtest.h>

#include <limits>

namespace vx {
namespace {

TEST(PropertyBag, ATextReadsAsTheNumberItStartsWith) {
  constexpr long kMost = std::numeric_limits<long>::max();
  constexpr long kLeast = std::numeric_limits<long>::min();
  const struct {
    const char* text;
    long number;
  } cases[] = {
      {"12", 12},
      {"  12 apples", 12},
      {"-1", -1},
      {"-0", 0},
      {"+5", 0},  // no plus sign
      {"- 5", 0},
      {"", 0},
      {"   ", 0},
      {"abc", 0},
      {"0012", 12},
      {"16777215", 16777215},
      {"9223372036854775807", kMost},
      {"-9223372036854775808", kLeast},
      {"9223372036854775808", 0},  // too large for a long
      {"-9223372036854775809", 0},
      {"99999999999999999999999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(PropertyBag, AChangeIsReportedOnlyWhenTheTextDiffers) {
  PropertyBag bag;
  EXPECT_EQ(bag.View(Prop::Text), "");
  EXPECT_EQ(bag.GetNumber(Prop::Width), 0);
  EXPECT_TRUE(bag.Change(Prop::Text, "Tasks"));
  EXPECT_FALSE(bag.Change(Prop::Text, "Tasks"));
  EXPECT_TRUE(bag.Change(Prop::Text, "Tasks and more than fifteen letters"));
  EXPECT_EQ(bag.Get(Prop::Text), "Tasks and more than fifteen letters");
  EXPECT_TRUE(bag.Change(Prop::Width, "120"));
  EXPECT_TRUE(bag.Change(Prop::Hide, ""));  // set, though empty
  EXPECT_FALSE(bag.Change(Prop::Hide, ""));
  EXPECT_EQ(bag.GetNumber(Prop::Width), 120);
  EXPECT_EQ(bag.All().size(), 3u);
}

}  // namespace
}  // namespace vx
