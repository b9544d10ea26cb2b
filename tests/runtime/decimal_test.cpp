#include "runtime/decimal.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Decimal, ParseAndPrint) {
  struct Case {
    const char* text;
    int places;
    const char* printed;
  };
  const Case cases[] = {
      {"12.345", 2, "12.35"}, {"-12.345", 2, "-12.35"}, {" 7 ", 2, "7.00"},   {".5", 1, "0.5"},
      {"+3", 0, "3"},         {"0.004", 2, "0.00"},     {"0.005", 2, "0.01"},
  };
  for (const auto& c : cases) {
    auto d = Decimal::Parse(c.text, c.places);
    ASSERT_TRUE(d.has_value()) << c.text;
    EXPECT_EQ(d->ToString(), c.printed) << c.text;
  }
  for (const char* bad : {"", "-", "1.2.3", "abc", "1e3", "12a"}) {
    EXPECT_FALSE(Decimal::Parse(bad, 2).has_value()) << bad;
  }
}

TEST(Decimal, CompareAcrossPlacesAndRescale) {
  EXPECT_EQ(Decimal::FromUnits(150, 2), Decimal::FromUnits(15, 1));
  EXPECT_LT(Decimal::FromUnits(-1, 0), Decimal::FromUnits(1, 2));
  EXPECT_EQ(Decimal::FromUnits(125, 2).Rescaled(1).ToString(), "1.3");
  EXPECT_EQ(Decimal::FromUnits(-125, 2).Rescaled(1).ToString(), "-1.3");
  EXPECT_EQ(Decimal::FromDouble(2.675, 2).ToString(), "2.68");
  EXPECT_DOUBLE_EQ(Decimal::FromUnits(-350, 2).ToDouble(), -3.5);
}

}  // namespace
}  // namespace vx
