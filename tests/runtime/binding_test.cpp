#include "runtime/window/binding.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vx {
namespace {

TEST(Binding, ReadsAndWritesEveryKindOfVariableAsText) {
  String<5> fixed;
  CString<4> c_text;
  std::string text;
  long number = 7;
  std::uint8_t flag = 0;
  Decimal money = Decimal::FromUnits(0, 2);

  Binding(fixed).Set("Scheduler");
  EXPECT_EQ(fixed, "Sched");  // cut at the field's width
  Binding(c_text).Set("abcdef");
  EXPECT_EQ(Binding(c_text).Get(), "abc");
  Binding(text).Set("free");
  EXPECT_EQ(text, "free");

  Binding(number).Set(" 42");
  EXPECT_EQ(number, 42);
  Binding(number).Set("not a number");
  EXPECT_EQ(number, 0);
  Binding(flag).Set("1");
  EXPECT_EQ(Binding(flag).Get(), "1");  // a byte reads as a number, not a character
  Binding(money).Set("12.345");
  EXPECT_EQ(money.ToString(), "12.35");  // keeps its places, rounding
  Binding(money).Set("x");
  EXPECT_EQ(money.ToString(), "0.00");

  EXPECT_TRUE(Binding(number).numeric());
  EXPECT_FALSE(Binding(fixed).numeric());
  EXPECT_EQ(Binding(number).address(), &number);
  EXPECT_FALSE(Binding().bound());
}

}  // namespace
}  // namespace vx
