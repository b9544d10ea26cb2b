// The "If Value" test: numbers or texts, and each operator.
#include <gtest/gtest.h>

#include <string>

#include "program/script_engine/script_variables.h"
#include "tests/program/script_fixture.h"

namespace vx {
namespace {

class CompareScriptValueTest : public ScriptFixture {
 protected:
  CompareScriptValueTest() {
    SetScriptVariable("abc", "WORD");
    SetScriptVariable("10", "TEN");
    SetScriptVariable("0.00", "ZERO");
    SetScriptVariable("", "FILEEXISTS");
    SetScriptVariable("abc", "COUNT#");
    SetScriptVariable("[[DATE]", "BRACKETED");
  }
};

struct Case {
  const char* name;
  const char* op;
  const char* compare_to;
  bool expected;
};

TEST_F(CompareScriptValueTest, EveryOperatorOnNumbersAndOnTexts) {
  const Case cases[] = {
      // numbers: 10 against 9.5, 10 and 10.5
      {"TEN", "=", "10", true},
      {"TEN", "=", "10.00", true},
      {"TEN", "=", "9.5", false},
      {"TEN", "<>", "9.5", true},
      {"TEN", "<>", "10", false},
      {"TEN", "<", "10.5", true},
      {"TEN", "<", "10", false},
      {"TEN", "<", "9.5", false},
      {"TEN", "<=", "10", true},
      {"TEN", "<=", "10.5", true},
      {"TEN", "<=", "9.5", false},
      {"TEN", ">", "9.5", true},
      {"TEN", ">", "10", false},
      {"TEN", ">", "10.5", false},
      {"TEN", "=>", "10", true},
      {"TEN", "=>", "9.5", true},
      {"TEN", "=>", "10.5", false},
      {"TEN", ">", "9", true},  // as texts "10" < "9": numbers decide
      // texts: byte order, case counts, trailing blanks do not
      {"WORD", "=", "abc", true},
      {"WORD", "=", "abc   ", true},
      {"WORD", "=", "ABC", false},
      {"WORD", "<>", "abd", true},
      {"WORD", "<>", "abc", false},
      {"WORD", "<", "abd", true},
      {"WORD", "<", "ABC", false},  // 'a' sorts after 'A'
      {"WORD", "<=", "abc", true},
      {"WORD", "<=", "ab", false},
      {"WORD", ">", "ab", true},
      {"WORD", ">", "abc", false},
      {"WORD", "=>", "abc", true},
      {"WORD", "=>", "b", false},
      // a name nobody set is empty text
      {"UNSET", "=", "", true},
      {"UNSET", "<", "a", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareScriptValue(c.compare_to, c.op, c.name), c.expected)
        << c.name << " " << c.op << " " << c.compare_to;
  }
}

TEST_F(CompareScriptValueTest, NumbersOrTextChosenBySidesAndName) {
  const Case cases[] = {
      {"ZERO", "=", "0", false},  // both sides zero: texts "0.00" and "0" differ
      {"ZERO", "=", "0.00", true},
      {"TEN", "=", "abc", false},      // one side nonzero: 10 against 0
      {"WORD", "<", "5", true},        // 0 against 5
      {"FILEEXISTS", "=", "0", true},  // forced: empty reads as 0
      {"fileexists", "=", "0", true},
      {"COUNT#", "=", "xyz", true},  // "#" forces numbers: 0 against 0
      {"DATE", "=", "20260423", true},
      {"DATE", "=>", "20260101", true},
      {"TIME", "<", "100000", true},  // 090507
      {"FILESIZE", "=", "", true},    // unset, forced: 0 = 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareScriptValue(c.compare_to, c.op, c.name), c.expected)
        << c.name << " " << c.op << " " << c.compare_to;
  }
}

TEST_F(CompareScriptValueTest, CompareToIsExpandedOnlyWhenItBeginsWithABracket) {
  EXPECT_TRUE(CompareScriptValue("[DATE]", "=", "DATE"));
  EXPECT_TRUE(CompareScriptValue("[WORD]", "=", "WORD"));
  EXPECT_FALSE(CompareScriptValue("[DATE]", "=", "BRACKETED"));  // 0 ("[DATE]") against 20260423
  EXPECT_FALSE(CompareScriptValue("x[WORD]", "=", "WORD"));      // "x[WORD]" stays as it is
  SetScriptVariable("x[[WORD]", "TEXT");                         // stored as "x[WORD]"
  EXPECT_TRUE(CompareScriptValue("x[WORD]", "=", "TEXT"));
}

TEST_F(CompareScriptValueTest, OnlyTheSixOperatorsAsWritten) {
  for (const char* op : {">=", "=<", "==", "!=", "", "eq", " ="}) {
    EXPECT_FALSE(CompareScriptValue("10", op, "TEN")) << "'" << op << "'";
    EXPECT_FALSE(CompareScriptValue("9", op, "TEN")) << "'" << op << "'";
  }
  EXPECT_TRUE(CompareScriptValue("10", "=   ", "TEN"));  // a blank-padded field holds the operator
}

}  // namespace
}  // namespace vx
