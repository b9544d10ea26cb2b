// The built-in names, expressions and stored variables that one bracketed name resolves to.
#include <gtest/gtest.h>
#include <optional>

#include <string>

#include "program/common/program_services.h"
#include "program/script_engine/script_variables.h"
#include "tests/program/script_fixture.h"

namespace vx {
namespace {

using TranslateVariableTest = ScriptFixture;

TEST_F(TranslateVariableTest, BuiltinNamesAtAFixedMoment) {
  const ScopedProgramServices dates(&ProgramServices::script_dates, [](std::int32_t date) {
    return "day " + std::to_string(date);
  });
  const std::int32_t today = DATE(4, 23, 2026);
  ExpectEach(
      {
          {"YYYY-MM-DD", "2026-04-23"},
          {"DD-MM-YY", "23-04-26"},
          {"MM-DD-YY", "04-23-26"},
          {"DDMMYY", "230426"},
          {"MMDDYY", "042326"},
          {"DATE", "20260423"},
          {"DATE-1", "20260422"},
          {"DATE+1", "20260424"},
          {"TODAY", "day " + std::to_string(today)},
          {"YESTERDAY", "day " + std::to_string(today - 1)},
          {"TOMORROW", "day " + std::to_string(today + 1)},
          {"TIME", "090507"},
          {"NOW", "09:05"},
          {"FOCUS", "Inbox - Mail"},
          {"date", "20260423"},  // names match in any case
          {"Now  ", "09:05"},    // and trailing blanks do not count
          {" DATE", ""},         // leading ones do: no such name
      },
      [](const std::string& t) { return TranslateVariable(t); });
}

TEST_F(TranslateVariableTest, EightDigitDatesCrossMonthAndYearEnds) {
  clock_.Set(DATE(3, 1, 2024), MakeTime(0, 0));
  EXPECT_EQ(TranslateVariable("DATE-1"), "20240229");
  clock_.Set(DATE(12, 31, 2026), MakeTime(23, 59, 59));
  EXPECT_EQ(TranslateVariable("DATE+1"), "20270101");
  EXPECT_EQ(TranslateVariable("TIME"), "235959");
}

TEST_F(TranslateVariableTest, ProgramDateFormatDefaultsToMonthNameDayYear) {
  EXPECT_EQ(TranslateVariable("TODAY"), "APR 23,2026");
  EXPECT_EQ(TranslateVariable("tomorrow"), "APR 24,2026");
}

TEST_F(TranslateVariableTest, FocusIsTheFocusedTitleCutTo254BytesOrEmpty) {
  // 253 ASCII bytes and a two-byte character: cutting at 254 must not split it.
  window_.SetTitle(std::string(253, 'x') + "é tail");
  EXPECT_EQ(TranslateVariable("FOCUS"), std::string(253, 'x'));
  window_.SetTitle("");
  EXPECT_EQ(TranslateVariable("focus"), "");
}

TEST_F(TranslateVariableTest, ExpressionsGiveTheirValueAndFallBackToAVariableOfThatName) {
  ExpectEach(
      {
          {"=1+2", "3"},
          {"= 10/4", "2.5"},
          {"=AGE(DATE(4,23,1970),TODAY())", "56 YRS"},
          {"=AGE(DATE(4,24,1970),TODAY())", "55 YRS"},
          {"=UPPER('abc') & 'd'", "ABCd"},
          {"=1+", ""},           // cannot be read: no variable "=1+" either
          {"=''", ""},           // blank result
          {"=SYSTEM('x')", ""},  // unknown function: an error, never a call out
      },
      [](const std::string& t) { return TranslateVariable(t); });

  SetScriptVariable("kept", "=1+");
  EXPECT_EQ(TranslateVariable("=1+"), "kept");
}

TEST_F(TranslateVariableTest, ResultsAreCutTo255Bytes) {
  EXPECT_EQ(TranslateVariable("='" + std::string(300, 'a') + "'"), std::string(255, 'a'));
}

TEST_F(TranslateVariableTest, StoredVariablesAnswerAnyOtherName) {
  SetScriptVariable("42", "ExitCode");
  EXPECT_EQ(TranslateVariable("EXITCODE"), "42");
  EXPECT_EQ(TranslateVariable("exitcode"), "42");
  EXPECT_EQ(TranslateVariable("NoSuchName"), "");
  // A variable may not hide a built-in name: the built-in answers first.
  SetScriptVariable("mine", "DATE");
  EXPECT_EQ(TranslateVariable("DATE"), "20260423");
}

TEST_F(TranslateVariableTest, TracesOnlyInDebugMode) {
  TranslateVariable("=1+2");
  EXPECT_TRUE(log_.empty());

  DEBUGMODE = 1;
  TranslateVariable("=1+2");
  TranslateVariable("=1+");
  TranslateVariable("Count");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"TranslateVariable", "=1+2"},  {"Evaluation", "1+2"}, {"Evaluation", "Result:  3"},
      {"TranslateVariable", "=1+"},   {"Evaluation", "1+"},  {"Evaluation", "Result:  "},
      {"TranslateVariable", "Count"},
  };
  EXPECT_EQ(log_, expected);
}

}  // namespace
}  // namespace vx
