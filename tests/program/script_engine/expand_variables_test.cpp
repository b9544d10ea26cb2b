// Bracketed names in texts: escapes, nesting, the step guard, unclosed brackets and the buffer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "program/script_engine/script_variables.h"
#include "tests/program/script_fixture.h"
#include "tests/support/ends_within.h"

namespace vx {
namespace {

class ExpandVariablesTest : public ScriptFixture {
 protected:
  ExpandVariablesTest() {
    SetScriptVariable("2", "N");
    SetScriptVariable("report.txt", "FILE2");
    SetScriptVariable("Ann", "NAME");
    SetScriptVariable("[[DATE]", "LITERAL");  // stored as the text [DATE]
    SetScriptVariable("FILE", "PREFIX");
  }
};

TEST_F(ExpandVariablesTest, NamesEscapesAndPlainText) {
  ExpectEach(
      {
          {"Backup of [DATE]", "Backup of 20260423"},
          {"[NAME] and [name] at [NOW]", "Ann and Ann at 09:05"},
          {"[DATE][TIME]", "20260423090507"},
          {"[[DATE]", "[DATE]"},      // "[[" writes "[" and nothing expands
          {"a[]b", "a]b"},            // "[]" writes "]"
          {"[[[NAME]", "[Ann"},       // the kept "[" does not open a name
          {"x [UNKNOWN] y", "x  y"},  // a name nobody answers is empty
          {"no brackets at all", "no brackets at all"},
          {"trailing   ", "trailing"},
          {"[NAME]   ", "Ann"},
          {"", ""},
          {"]", "]"},
          {"[LITERAL]", "[DATE]"},  // a value is not expanded again
          {"Sum: [=1+2]", "Sum: 3"},
          {"[=[N]*10]", "20"},  // inner names first, then the expression
      },
      [](const std::string& t) { return ExpandVariables(t); });
}

TEST_F(ExpandVariablesTest, InnerNamesBuildTheOuterName) {
  EXPECT_EQ(ExpandVariables("[FILE[N]]"), "report.txt");
  // Three levels: ONE gives N, N gives 2, FILE2 gives the file. Inside a name "[[" is no escape.
  SetScriptVariable("N", "ONE");
  EXPECT_EQ(ExpandVariables("open [FILE[[ONE]]] now"), "open report.txt now");
  EXPECT_EQ(ExpandVariables("[[PREFIX][N]]"), "[PREFIX]2]");  // at the outer level it is one
  // An inner value holding brackets is scanned again as part of the outer name.
  SetScriptVariable("[[N]", "INDIRECT");
  EXPECT_EQ(ExpandVariables("[FILE[INDIRECT]]"), "report.txt");
  EXPECT_EQ(ExpandVariables("[FILE[NOTSET]]"), "");  // resolves FILE, which is unset
}

TEST_F(ExpandVariablesTest, UnclosedBracketsLeaveTheRestAsItIs) {
  ExpectEach(
      {
          {"Hello [NAME", "Hello [NAME"},
          {"[NAME] then [DATE", "Ann then [DATE"},
          {"ends with [", "ends with ["},
          {"[FILE [N] x", "[FILE 2 x"},  // the inner name closes, the outer never does
      },
      [](const std::string& t) { return ExpandVariables(t); });
}

TEST_F(ExpandVariablesTest, AValueThatNamesItselfStopsAtTheStepGuard) {
  using namespace std::chrono_literals;
  SetScriptVariable("[[LOOP]", "LOOP");
  // Each round replaces [LOOP] by itself; the guard gives up with the text as far as it got,
  // and the bracket after it is left alone.
  EXPECT_EQ(test::EndsWithin(20s, [] { return ExpandVariables("[A[LOOP]] [NAME]"); }),
            "[A[LOOP]] [NAME]");

  // A value that grows on every round is held to the work buffer as well.
  SetScriptVariable("[[GROW][[GROW]", "GROW");
  const std::string grown = ExpandVariables("[A[GROW]]");
  EXPECT_LE(grown.size(), 16384u);
  EXPECT_EQ(grown.substr(0, 2), "[A");
}

TEST_F(ExpandVariablesTest, AValueThatClosesTheNameAndOpensItAgainEnds) {
  using namespace std::chrono_literals;
  // V's value closes the name it is put in and opens it again; scanning that part of it at the
  // outer level again would begin the same round for ever.
  SetScriptVariable("][[x[[V]", "V");
  EXPECT_EQ(TranslateVariable("V"), "][x[V]");
  test::EndsWithin(20s, [] { SetScriptVariable("[x[V]", "W"); });
  EXPECT_EQ(TranslateVariable("W"), "[x[V]");
  EXPECT_EQ(test::EndsWithin(20s, [] { return ExpandVariables("[W] and [x[V]] [NAME]"); }),
            "[x[V] and [x[V]] Ann");
  // A value that puts its own name back after the bracket it closes.
  SetScriptVariable("x][[SELF]", "SELF");
  EXPECT_EQ(test::EndsWithin(20s, [] { return ExpandVariables("[A[SELF]] [NAME]"); }),
            "[SELF]] Ann");
}

TEST_F(ExpandVariablesTest, WorksWithin16384Bytes) {
  const std::string long_text = std::string(16380, 'x') + "[NAME]";
  EXPECT_EQ(ExpandVariables(long_text), std::string(16380, 'x') + "[NAM");  // cut before expanding
  SetScriptVariable("0123456789", "N");  // a value that runs past the end is cut there
  EXPECT_EQ(ExpandVariables(std::string(16380, 'x') + "[N]"), std::string(16380, 'x') + "0123");
  // A cut never splits a character.
  EXPECT_EQ(ExpandVariables(std::string(16383, 'x') + "é"), std::string(16383, 'x'));
}

TEST_F(ExpandVariablesTest, LabelIsNotUsed) {
  EXPECT_EQ(ExpandVariables("any label", "[NAME]"), "Ann");
}

TEST_F(ExpandVariablesTest, BirthdayMessageShowsTheAgeOnTheDayOfDisplay) {
  const std::string message =
      "It's Ann's birthday today!\r\n\r\nAge: [= AGE(DATE(4,23,1970),TODAY())]";
  EXPECT_EQ(ExpandVariables(message), "It's Ann's birthday today!\r\n\r\nAge: 56 YRS");
  clock_.Set(DATE(4, 23, 2027), MakeTime(6, 0));
  EXPECT_EQ(ExpandVariables(message), "It's Ann's birthday today!\r\n\r\nAge: 57 YRS");
}

}  // namespace
}  // namespace vx
