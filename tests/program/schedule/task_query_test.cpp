// The task query's conditions: what each kind of field and operation gives, values that do not
// fit, and user text that tries to be read as part of the expression.
#include "program/schedule/task_query.h"

#include <gtest/gtest.h>

#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "runtime/dates.h"
#include "runtime/expression/evaluate.h"
#include "runtime/pictures.h"

namespace vx {
namespace {

const QueryField& Field(std::string_view name) {
  for (const QueryField& f : TaskQueryFields()) {
    if (f.field == name) return f;
  }
  ADD_FAILURE() << name;
  return TaskQueryFields()[0];
}

TEST(TaskQuery, EachKindOfFieldGivesItsCondition) {
  GLO_DATEFORMAT.clear();  // dates as @D3
  const std::string june_12 = FORMAT(DATE(6, 12, 2026), "@D3");
  struct Case {
    std::string_view field;
    int operation;
    std::string_view value;
    std::string_view condition;
  } cases[] = {
      {"SCH:Category", 1, "work", "UPPER(CLIP(SCH:Category))='WORK'"},
      {"SCH:Category", 2, "", "UPPER(CLIP(SCH:Category))<>''"},
      {"SCH:Description", 7, "rep", "INSTRING('REP',UPPER(CLIP(SCH:Description)),1,1)=1"},
      {"SCH:Description", 8, "port", "INSTRING('PORT',UPPER(CLIP(SCH:Description)),1,1)>0"},
      {"SCH:Description", 9, "rep", "INSTRING('REP',UPPER(CLIP(SCH:Description)),1,1)<>1"},
      {"SCH:Description", 10, "rep", "INSTRING('REP',UPPER(CLIP(SCH:Description)),1,1)=0"},
      {"SCH:Alarm", 11, "", "SCH:Alarm<>0"},
      {"SCH:Disabled", 12, "", "SCH:Disabled=0"},
      {"SCH:Every", 5, " 15 ", "SCH:Every>=15"},
      {"SCH:Offset", 4, "-2", "SCH:Offset<-2"},
      {"SCH:Date", 3, june_12, "SCH:Date>82346"},  // day 82346 is 12 June 2026
      {"SCH:LastRunDate", 1, "", "SCH:LastRunDate=0"},
      {"SCH:Time", 6, "9:30", "SCH:Time<=3420001"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(QueryCondition(Field(c.field), c.operation, c.value, &error), c.condition)
        << c.field << " " << error;
  }
}

TEST(TaskQuery, ValuesOrOperationsThatDoNotFitGiveNoCondition) {
  struct Case {
    std::string_view field;
    int operation;
    std::string_view value;
  } cases[] = {
      {"SCH:Every", 1, "ten"},         // not a number
      {"SCH:Every", 1, "1) OR (1=1"},  // nor is this
      {"SCH:Every", 8, "1"},           // numbers are compared, not searched
      {"SCH:Date", 1, "someday"},      // not a date
      {"SCH:Alarm", 1, "1"},           // yes/no fields are checked or not
      {"SCH:Category", 11, ""},        // texts are not checked
      {"SCH:Description", 8, ""},      // contains what?
      {"SCH:Description", 13, "x"},    // no such operation
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(QueryCondition(Field(c.field), c.operation, c.value, &error), "")
        << c.field << " " << c.value;
    EXPECT_FALSE(error.empty());
  }
}

// Whatever the user types stays a text: a quote, a bracket or an operator in it is matched
// literally and never changes what the expression does.
TEST(TaskQuery, UserTextIsMatchedLiterallyNeverReadAsExpression) {
  ExpressionBindings names;
  names.BindText("SCH:Description", &SCH.Description);
  names.BindText("SCH:Category", &SCH.Category);
  SCH = SCHEDULE_RECORD{};
  SCH.Description = "O'Brien's report";
  SCH.Category = "Work";
  struct Case {
    int operation;
    std::string_view value;
    bool matches;
  } cases[] = {
      {1, "o'brien's REPORT", true},   {8, "'s r", true},
      {1, "x' OR '1'='1", false},      {8, "') OR (1=1", false},
      {8, "x'&SCH:Category&'", false}, {7, "O'B", true},
  };
  for (const Case& c : cases) {
    const std::string condition =
        QueryCondition(Field("SCH:Description"), c.operation, c.value, nullptr);
    ASSERT_FALSE(condition.empty()) << c.value;
    const ExpressionResult result = EvaluateExpression(condition, names);
    ASSERT_TRUE(result.ok) << condition << ": " << result.error;
    EXPECT_EQ(result.IsTrue(), c.matches) << condition;
  }
}

TEST(TaskQuery, ConditionsJoinWithAndOrOr) {
  EXPECT_EQ(JoinQuery("", "A=1", false), "A=1");
  EXPECT_EQ(JoinQuery("A=1", "B=2", false), "(A=1) AND (B=2)");
  EXPECT_EQ(JoinQuery("(A=1) AND (B=2)", "C=3", true), "((A=1) AND (B=2)) OR (C=3)");
}

}  // namespace
}  // namespace vx
