// Splitting, unquoting, quoting and joining the arguments of script lines, and reading numbers.
#include "program/script_engine/script_text_tokens.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vx {
namespace {

std::vector<std::string> Args(std::string_view text) {
  const ScriptArguments args = TokeniseArguments(text);
  std::vector<std::string> out;
  for (std::size_t n = 1; n <= args.Count(); ++n) out.push_back(args.GetArgument(n));
  return out;
}

using Strings = std::vector<std::string>;

TEST(TokeniseArguments, SeparatorsQuotesAndBrackets) {
  struct Case {
    std::string_view text;
    Strings args;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"a b", {"a", "b"}},
      {"  a    b  ", {"a", "b"}},  // runs of blanks are one separator
      {"a, b", {"a", "b"}},        // a blank after a comma is ignored
      {"a,b", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},     // a comma after a comma: an empty argument
      {"a ,b", {"a", "", "b"}},     // a comma after a blank: an empty argument
      {"a,", {"a"}},                // nothing after the last separator
      {"\"a b\" c", {"a b", "c"}},  // quotes keep blanks and commas
      {"\"a,b\",c", {"a,b", "c"}},
      {"\"\" x", {"", "x"}},                      // "" is an empty argument
      {"[CTRL-ALT A] x", {"[CTRL-ALT A]", "x"}},  // brackets keep blanks
      {"[My Value],next", {"[My Value]", "next"}},
      {"pre[a b]post x", {"pre[a b]post", "x"}},
      {"\"[open\" next", {"[open", "next"}},     // a bracket inside quotes does not count
      {"\"unclosed next", {"\"unclosed next"}},  // an unclosed quote runs to the end
      {"x \"unclosed, a b", {"x", "\"unclosed, a b"}},
      {"[unclosed a b", {"[unclosed a b"}},
      {"a\tb c", {"a\tb", "c"}},      // a tab is not a blank
      {"\"a\"b c", {"\"a\"b", "c"}},  // quotes removed only around the whole
  };
  for (const Case& c : cases) EXPECT_EQ(Args(c.text), c.args) << "[" << c.text << "]";
}

TEST(TokeniseArguments, GetArgumentPastTheEndIsEmpty) {
  const ScriptArguments args = TokeniseArguments("one \"two  \"");
  EXPECT_EQ(args.GetArgument(0), "");
  EXPECT_EQ(args.GetArgument(2), "two");  // clipped
  EXPECT_EQ(args.GetArgument(3), "");
}

TEST(UnquoteArgument, RemovesOnePairOfSurroundingQuotes) {
  EXPECT_EQ(UnquoteArgument("\"\""), "");
  EXPECT_EQ(UnquoteArgument("\"a b\""), "a b");
  EXPECT_EQ(UnquoteArgument("\"a b\"   "), "a b");   // the last non-blank character counts
  EXPECT_EQ(UnquoteArgument("\"\"a\"\""), "\"a\"");  // one pair only
  EXPECT_EQ(UnquoteArgument("\"a"), "\"a");
  EXPECT_EQ(UnquoteArgument("a\""), "a\"");
  EXPECT_EQ(UnquoteArgument("\""), "");
  EXPECT_EQ(UnquoteArgument("plain"), "plain");
}

TEST(QuoteArgument, QuotesWhatWouldNotReadBackAlone) {
  struct Case {
    std::string_view text, quoted;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"   ", "\"\""},
      {"word", "word"},
      {"word   ", "word"},
      {"two words", "\"two words\""},
      {"  padded  ", "\"padded\""},
      {"C:\\Tools\\x.exe", "\"C:\\Tools\\x.exe\""},
      {"/MODAL", "\"/MODAL\""},
      {"\"already quoted\"", "\"already quoted\""},
      {"\"single\"", "single"},
      {"a,b", "\"a,b\""},        // a comma would split the value
      {"[CTRL-A]", "[CTRL-A]"},  // closed brackets read back whole
      {"[VALUE NAME]", "\"[VALUE NAME]\""},
      {"x[open", "\"x[open\""},  // an open bracket would swallow the next argument
      {"Ünïcode", "Ünïcode"},
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteArgument(c.text), c.quoted) << "[" << c.text << "]";
}

TEST(QuoteArgument, EveryQuotedValueReadsBackFollowedByAnotherArgument) {
  const std::string_view values[] = {"a b",        "a,b", "a, b", "x[open", "[a b]",
                                     "C:\\a b\\c", "/x",  "",     "[k]",    "a]b"};
  for (std::string_view value : values) {
    const std::string line = QuoteArgument(value) + " next";
    EXPECT_EQ(Args(line), (Strings{std::string(value), "next"})) << line;
  }
}

TEST(JoinArguments, QuotesEachPresentTextAndSkipsAbsentOnes) {
  const std::vector<std::optional<std::string>> texts{"KEYS", std::nullopt, "",
                                                      "a b",  std::nullopt, "c"};
  EXPECT_EQ(JoinArguments(texts), "KEYS \"\" \"a b\" c");
  EXPECT_EQ(JoinArguments(std::vector<std::optional<std::string>>{}), "");
}

TEST(RemoveTrailingEmptyArguments, DropsOnlyWholeEmptyArgumentsAtTheEnd) {
  EXPECT_EQ(RemoveTrailingEmptyArguments("DISPLAY Hi \"\" \"\""), "DISPLAY Hi");
  EXPECT_EQ(RemoveTrailingEmptyArguments("DISPLAY Hi \"\" x"), "DISPLAY Hi \"\" x");
  EXPECT_EQ(RemoveTrailingEmptyArguments("KEYS \"\""), "KEYS");
  EXPECT_EQ(RemoveTrailingEmptyArguments("KEYS x\"\""), "KEYS x\"\"");  // part of a value
  EXPECT_EQ(RemoveTrailingEmptyArguments("END  "), "END");
}

TEST(ReadNumbers, WholeAndLeadingNumbers) {
  EXPECT_EQ(ReadWholeNumber("42"), 42);
  EXPECT_EQ(ReadWholeNumber("  -7 "), -7);
  EXPECT_EQ(ReadWholeNumber("+3"), 3);
  EXPECT_EQ(ReadWholeNumber("2.9"), 2);
  EXPECT_EQ(ReadWholeNumber(".5"), 0);
  EXPECT_EQ(ReadWholeNumber("5 Windows"), 0);
  EXPECT_EQ(ReadWholeNumber("abc"), 0);
  EXPECT_EQ(ReadWholeNumber(""), 0);
  EXPECT_EQ(ReadWholeNumber("-"), 0);
  EXPECT_EQ(ReadWholeNumber("99999999999999999999"), 2147483647);
  EXPECT_EQ(ReadWholeNumber("-99999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(ReadLeadingNumber("30 MO"), 30);
  EXPECT_EQ(ReadLeadingNumber("x30"), 0);
}

}  // namespace
}  // namespace vx
