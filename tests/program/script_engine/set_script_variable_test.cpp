// Setting script variables: expansion, "=" expressions, upper-case names and the decimal copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "program/script_engine/script_variables.h"
#include "tests/program/script_fixture.h"

namespace vx {
namespace {

using SetScriptVariableTest = ScriptFixture;

// The entry of a name as (text, decimal text), read without touching the queue's buffer.
std::pair<std::string, std::string> Entry(std::string_view name) {
  for (const VARQ_RECORD& e : VARQ) {
    if (e.NAME == name) return {e.STRINGVALUE.str(), e.VALUE.ToString()};
  }
  return {"<none>", ""};
}

TEST_F(SetScriptVariableTest, StoresTheExpandedOrEvaluatedValueWithItsNumber) {
  const struct {
    const char* value;
    const char* text;
    const char* number;
  } cases[] = {
      {"=1+2", "3", "3.00"},
      {"= 10 / 4", "2.5", "2.50"},
      {"=1+", "=1+", "0.00"},  // cannot be evaluated: the text stays, "=" and all
      {"=SYSTEM('rm x')", "=SYSTEM('rm x')", "0.00"},
      {"Run on [DATE]", "Run on 20260423", "0.00"},
      {"[DATE]", "20260423", "20260423.00"},
      {"12.345", "12.345", "12.35"},  // two decimals, rounded
      {"-4", "-4", "-4.00"},
      {"  7  ", "  7", "7.00"},
      {"abc", "abc", "0.00"},
      {"1,000", "1,000", "0.00"},
      {"", "", "0.00"},
  };
  for (const auto& c : cases) {
    SetScriptVariable(c.value, "V");
    EXPECT_EQ(Entry("V"), std::make_pair(std::string(c.text), std::string(c.number))) << c.value;
  }
  EXPECT_EQ(VARQ.Records(), 1);  // one variable, replaced each time
}

TEST_F(SetScriptVariableTest, ExpressionsSeeOtherVariablesThroughBrackets) {
  SetScriptVariable("=1+2", "count");
  EXPECT_EQ(ExpandVariables("[COUNT] and [count]"), "3 and 3");
  SetScriptVariable("=[COUNT]+1", "Count");
  EXPECT_EQ(Entry("COUNT"), std::make_pair(std::string("4"), std::string("4.00")));
  SetScriptVariable("[[=2*3]", "LATER");  // kept as the text "[=2*3]", evaluated when expanded
  EXPECT_EQ(Entry("LATER").first, "[=2*3]");
}

TEST_F(SetScriptVariableTest, NamesAreUpperCaseAndCutTo32AndKeptInNameOrder) {
  SetScriptVariable("1", "ExitCode");
  SetScriptVariable("2", "EXITCODE");
  SetScriptVariable("x", "zeta");
  SetScriptVariable("y", "Alpha");
  SetScriptVariable("long", std::string(40, 'n'));
  SetScriptVariable("longer", std::string(32, 'n') + "different tail");  // the same 32 characters
  std::vector<std::string> names;
  for (const VARQ_RECORD& e : VARQ) names.push_back(e.NAME.str());
  EXPECT_EQ(names, (std::vector<std::string>{"ALPHA", "EXITCODE", std::string(32, 'N'), "ZETA"}));
  EXPECT_EQ(Entry("EXITCODE").first, "2");
  EXPECT_EQ(Entry(std::string(32, 'N')).first, "longer");
}

TEST_F(SetScriptVariableTest, ValuesAreCutTo255Bytes) {
  SetScriptVariable(std::string(300, 'v'), "BIG");
  EXPECT_EQ(Entry("BIG").first, std::string(255, 'v'));
  EXPECT_EQ(TranslateVariable("big"), std::string(255, 'v'));
}

}  // namespace
}  // namespace vx
