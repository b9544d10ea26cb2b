// The text replacement of the hot keys' "Type" action.
#include "program/shell/hot_key_actions.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ReplaceAll, ReplacesFromTheEndWithoutRescanningAndCutsToSize) {
  const struct {
    const char* text;
    std::size_t size;
    const char* find;
    const char* replacement;
    bool ignore_case;
    const char* out;
  } cases[] = {
      {"a\r\nb\r\nc", 100, "\r\n", "\r", false, "a\rb\rc"},
      {"aaa", 100, "a", "aa", false, "aaaaaa"},
      {"Hello hello", 100, "HELLO", "bye", true, "bye bye"},
      {"Hello hello", 100, "HELLO", "bye", false, "Hello hello"},
      {"abc", 4, "b", "xyz", false, "axyz"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.size, c.find, c.replacement, c.ignore_case), c.out) << c.text;
  }
}

}  // namespace
}  // namespace vx
