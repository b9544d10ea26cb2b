// Every property has one name, found again by it in any case: a name left out or out of order in
// the names table would make a property unreachable by name, or reachable as another one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "runtime/window/properties.h"

namespace vx {
namespace {

TEST(WindowPropertyNames, EachPropertyIsFoundByItsOwnNameInAnyCase) {
  for (int n = 1; n < static_cast<int>(Prop::Count_); ++n) {
    const Prop prop = static_cast<Prop>(n);
    const std::string name(PropName(prop));
    ASSERT_FALSE(name.empty()) << "property " << n;
    EXPECT_EQ(PropByName(name), prop) << name;
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_EQ(PropByName(lower), prop) << lower;
  }
  EXPECT_EQ(PropName(Prop::ScrollTabs), "ScrollTabs");
  EXPECT_FALSE(PropByName("NoSuchProperty").has_value());
}

}  // namespace
}  // namespace vx
