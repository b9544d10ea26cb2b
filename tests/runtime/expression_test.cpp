#include "runtime/expression/evaluate.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "runtime/dates.h"
#include "runtime/decimal.h"
#include "runtime/fixed_string.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

// A task record and two globals, bound the way a browse filter binds them.
struct Fixture {
  test::FixedClock clock{DATE(6, 15, 2026), MakeTime(14, 30)};
  test::ScopedClock scoped{clock};
  std::int32_t sch_date = DATE(6, 15, 2026);
  String<20> sch_category{"Work"};
  String<20> glo_category{"Work"};
  String<20> sch_task_type{"Hot Key"};
  std::uint8_t sch_disabled = 0;
  std::uint8_t sch_completed = 0;
  Decimal price = Decimal::FromUnits(1250, 2);
  ExpressionBindings bindings;

  Fixture() {
    bindings.BindInteger("SCH:Date", &sch_date);
    bindings.BindText("SCH:Category", &sch_category);
    bindings.BindText("GLO:Category", &glo_category);
    bindings.BindText("SCH:TaskType", &sch_task_type);
    bindings.BindInteger("SCH:Disabled", &sch_disabled);
    bindings.BindInteger("SCH:Completed", &sch_completed);
    bindings.BindDecimal("Price", &price);
  }
};

enum Kind { N, T, E };  // a number, a text, or an error whose message holds `expected`

struct Row {
  const char* expression;
  Kind kind;
  const char* expected;
};

const Row kRows[] = {
    // Precedence and associativity.
    {"1+2*3", N, "7"},
    {"(1+2)*3", N, "9"},
    {"10-4-3", N, "3"},
    {"2^3^2", N, "512"},
    {"-2^2", N, "4"},
    {"2*-3", N, "-6"},
    {"--3", N, "3"},
    {"+5", N, "5"},
    {"1+2 & 'x'", T, "3x"},
    {"'a' & 1+2", T, "a3"},
    {"3 & 4 = 34", N, "1"},
    {"1 OR 1 AND 0", N, "1"},
    {"(1 OR 1) AND 0", N, "0"},
    {"not 2 = 3", N, "1"},
    {"1 = ~0", N, "1"},
    {"~5 = 1", N, "1"},
    {"2 = ~5 + 2", N, "1"},
    {"1<2<3", N, "1"},
    // Arithmetic stays exact in decimals.
    {"7%3", N, "1"},
    {"-7%3", N, "-1"},
    {"7.5%2", N, "1.5"},
    {"10/4", N, "2.5"},
    {"1/3", N, "0.333333333"},
    {"2/3", N, "0.666666667"},
    {"0.1+0.2=0.3", N, "1"},
    {"1.50*2", N, "3"},
    {".5+1.", N, "1.5"},
    {"2^-2", N, "0.25"},
    {"2^0.5", N, "1.414213562"},
    {"0.1234567895+0", N, "0.12345679"},
    {"9223372036854775807+1", N, "9223372036854775808"},
    {"123456789012345678901234567890 > 1", N, "1"},
    {"-9223372036854775808+0", N, "-9223372036854775808"},
    // Texts and conversions.
    {"'It''s'", T, "It's"},
    {"'<<{{'", T, "<<{{"},
    {"'5'+1", N, "6"},
    {"'abc'+1", N, "1"},
    {"'abc' = 'abc   '", N, "1"},
    {"'abc' = 'ABC'", N, "0"},
    {"'abc' < 'abd'", N, "1"},
    {"'10' = 10", N, "1"},
    {"'' = 0", N, "1"},
    {"'x' = 0", N, "0"},
    {"'b' > 5", N, "1"},
    // Comparisons in every spelling.
    {"3<>4", N, "1"},
    {"3~=3", N, "0"},
    {"2<=2", N, "1"},
    {"2=<2", N, "1"},
    {"3=>4", N, "0"},
    {"3>=3", N, "1"},
    {"3>2", N, "1"},
    {"3~<4", N, "0"},
    {"3~>4", N, "1"},
    // Logic and truth.
    {"1 AND 0", N, "0"},
    {"1 or 0", N, "1"},
    {"1 XOR 1", N, "0"},
    {"1 XOR 0", N, "1"},
    {"NOT 0", N, "1"},
    {"~1", N, "0"},
    {"'x' AND 'y'", N, "1"},
    {"'  ' OR 0", N, "0"},
    {"0 AND 1/0", N, "0"},
    {"1 OR 1/0", N, "1"},
    // Bound record fields and globals, as the filters of the lists and reports write them.
    {"SCH:Date=TODAY()", N, "1"},
    {"SCH:Date=TODAY()-1", N, "0"},
    {"sch:date>=TODAY() AND SCH:Date<TODAY()+7", N, "1"},
    {"MONTH(SCH:Date)=MONTH(TODAY())", N, "1"},
    {"Sch:Category=Glo:Category", N, "1"},
    {"NOT(SCH:TaskType='Hot Key')", N, "0"},
    {"~(SCH:Disabled OR SCH:Completed)", N, "1"},
    {"SCH:Completed", N, "0"},
    {"(UPPER(SCH:Category) >= UPPER('a') AND UPPER(SCH:Category) <= UPPER('x'))", N, "1"},
    {"SUB(UPPER(SCH:Category),1,2) = UPPER('wo')", N, "1"},
    {"RIGHT(UPPER(SCH:Category),3) = 'ORK'", N, "1"},
    {"RIGHT(UPPER(SCH:Category),5) = 'XWORK'", N, "0"},
    {"INSTRING('OR',UPPER(SCH:Category),1)", N, "2"},
    {"~INSTRING('XY',UPPER(SCH:Category),1)", N, "1"},
    {"LEN(SCH:Category)", N, "20"},
    {"Price * 2", N, "25"},
    {"price = 12.5", N, "1"},
    {"Price + 0.005", N, "12.505"},
    // Dates with the clock fixed at 15 June 2026, 14:30.
    {"TODAY() = DATE(6,15,2026)", N, "1"},
    {"CLOCK() = 14*360000 + 30*6000 + 1", N, "1"},
    {"DATE(2,29,2025) = DATE(3,1,2025)", N, "1"},
    {"DATE(13,1,2024) = DATE(1,1,2025)", N, "1"},
    {"DATE(1,1,1700)", N, "0"},
    {"DAY(DATE(7,4,1999))", N, "4"},
    {"MONTH(DATE(7,4,1999))", N, "7"},
    {"YEAR(DATE(7,4,1999))", N, "1999"},
    {"DAY(0)", N, "0"},
    {" AGE(DATE(5,17,1970),TODAY())", T, "56 YRS"},
    {"AGE(DATE(6,16,1970),TODAY())", T, "55 YRS"},
    {"AGE(DATE(6,1,2026))", T, "14 DAYS"},
    {"AGE(TODAY()-60)", T, "60 DAYS"},
    {"AGE(TODAY()-61)", T, "8 WKS"},
    {"AGE(TODAY()-97)", T, "13 WKS"},
    {"AGE(DATE(3,7,2026))", T, "3 MOS"},
    {"AGE(DATE(6,16,2024))", T, "23 MOS"},
    {"AGE(DATE(6,15,2024))", T, "2 YRS"},
    {"AGE(DATE(2,29,2000),DATE(2,28,2026))", T, "25 YRS"},
    {"AGE(DATE(2,29,2000),DATE(3,1,2026))", T, "26 YRS"},
    {"AGE(TODAY()+1)", T, ""},
    {"AGE(0)", T, ""},
    // Text functions.
    {"UPPER('aBc é')", T, "ABC é"},
    {"upper('x')", T, "X"},
    {"LOWER('AbC')", T, "abc"},
    {"CLIP('ab  ') & '|'", T, "ab|"},
    {"LEN('abc  ')", N, "5"},
    {"LEN(12.5)", N, "4"},
    {"SUB('abcdef',2,3)", T, "bcd"},
    {"SUB('abcdef',-2,2)", T, "ef"},
    {"SUB('abcdef',5)", T, "ef"},
    {"SUB('abc',0,2)", T, "a"},
    {"SUB('abc',4,1)", T, ""},
    {"SUB('abc',2,0)", T, ""},
    {"SUB('héllo',2,2)", T, "é"},
    {"SUB('héllo',2,1)", T, ""},
    {"LEFT('  ab',4) & '|'", T, "ab  |"},
    {"LEFT('abcdef',3)", T, "abc"},
    {"RIGHT('ab  ',4)", T, "  ab"},
    {"RIGHT('ab  ')", T, "  ab"},
    {"RIGHT('abcdef',2)", T, "ef"},
    {"INSTRING('cd','abcdef')", N, "3"},
    {"INSTRING('cd','abcdef',2)", N, "2"},
    {"INSTRING('cd','abcdcd',1,4)", N, "5"},
    {"INSTRING('x','abc')", N, "0"},
    {"INSTRING('','abc')", N, "0"},
    // Number functions and choices.
    {"INT(7.9)", N, "7"},
    {"INT(-7.9)", N, "-7"},
    {"ABS(-3.5)", N, "3.5"},
    {"ROUND(2.345,.01)", N, "2.35"},
    {"ROUND(-2.5)", N, "-3"},
    {"ROUND(1250,100)", N, "1300"},
    {"CHOOSE(2,'a','b','c')", T, "b"},
    {"CHOOSE(9,'a','b')", T, "b"},
    {"CHOOSE(0,'a','b')", T, "b"},
    {"INLIST('b','a','b')", N, "2"},
    {"INLIST(3,1,2)", N, "0"},
    {"INLIST('3 ',3)", N, "1"},
    // Texts that cannot be read or computed.
    {"", E, "empty expression"},
    {"   ", E, "empty expression"},
    {"1+", E, "unexpected end of expression"},
    {"(1+2", E, "expected \")\""},
    {"1+2)", E, "unexpected \")\""},
    {"'abc", E, "no closing quote"},
    {"1 2", E, "unexpected \"2\""},
    {"AND 1", E, "unexpected \"AND\""},
    {"1 $ 2", E, "unexpected character at position 3"},
    {"12abc", E, "after a number"},
    {"1.2.3", E, "after a number"},
    {"SCH:Unknown = 1", E, "unknown name SCH:Unknown"},
    {"FOO(1)", E, "unknown function FOO"},
    {"DATE(1,2)", E, "DATE takes 3 argument(s), not 2"},
    {"TODAY(1)", E, "TODAY takes 0 argument(s)"},
    {"AGE()", E, "AGE takes 1 to 2 argument(s), not 0"},
    {"1/0", E, "division by zero"},
    {"5%(2-2)", E, "division by zero"},
    {"0^-1", E, "0 raised to a negative power"},
    {"2^100000", E, "number out of range"},
    {"(-8)^(1/3)", E, "number out of range"},
    {"LEFT('a',100000)", E, "text width out of range"},
    {"INSTRING('a','abc',0)", E, "step of 1 or more"},
    {"ROUND(1,0)", E, "order above 0"},
};

TEST(Expression, TableOfExpressions) {
  Fixture f;
  for (const Row& row : kRows) {
    const ExpressionResult r = EvaluateExpression(row.expression, f.bindings);
    if (row.kind == E) {
      EXPECT_FALSE(r.ok) << row.expression << " gave " << r.text();
      EXPECT_NE(r.error.find(row.expected), std::string::npos)
          << row.expression << ": error was \"" << r.error << "\"";
      continue;
    }
    ASSERT_TRUE(r.ok) << row.expression << ": " << r.error;
    EXPECT_EQ(r.value.is_text(), row.kind == T) << row.expression;
    EXPECT_EQ(r.text(), row.expected) << row.expression;
  }
}

TEST(Expression, ReadOnceEvaluatesEachRecord) {
  Fixture f;
  const Expression filter("SCH:Date>=TODAY() AND SCH:Date<TODAY()+7 AND SCH:Category=GLO:Category",
                          f.bindings);
  ASSERT_TRUE(filter.ok()) << filter.error();
  std::vector<int> kept;
  for (int offset = -2; offset <= 9; ++offset) {
    f.sch_date = TODAY() + offset;
    f.sch_category = offset == 3 ? "Home" : "Work";
    if (filter.Evaluate().IsTrue()) kept.push_back(offset);
  }
  EXPECT_EQ(kept, (std::vector<int>{0, 1, 2, 4, 5, 6}));

  // The clock moves on: the same filter now selects from the new day.
  f.clock.Set(TODAY() + 5, MakeTime(9, 0));
  f.sch_date = DATE(6, 15, 2026);
  f.sch_category = "Work";
  EXPECT_FALSE(filter.Evaluate().IsTrue());
}

TEST(Expression, SeesOnlyWhatIsBound) {
  Fixture f;
  const ExpressionResult unbound = EvaluateExpression("Price * 2");
  EXPECT_FALSE(unbound.ok);
  EXPECT_EQ(unbound.error, "unknown name Price");

  // Rebinding a name replaces its getter, also for expressions already read.
  const Expression e("price + 1", f.bindings);
  f.bindings.BindValue("PRICE", ExprValue::Text("41"));
  EXPECT_EQ(e.Evaluate().text(), "42");

  // A getter is asked at each evaluation.
  int calls = 0;
  f.bindings.Bind("Counter", [&calls] { return ExprValue::Integer(++calls); });
  const Expression counter("Counter", f.bindings);
  counter.Evaluate();
  EXPECT_EQ(counter.Evaluate().text(), "2");
}

TEST(Expression, NamesBoundLaterAreBoundAtFirstUseInTheirOrder) {
  ExpressionBindings bindings;
  int runs = 0;
  std::int32_t date = 100;
  bindings.BindLater([&](ExpressionBindings& b) {
    ++runs;
    b.BindInteger("SCH:Date", &date);
    b.BindValue("SCH:Category", ExprValue::Text("Work"));
  });
  EXPECT_EQ(runs, 0);

  // A Bind made after the deferred binder replaces the name the binder gives, as it would have
  // had the binder run at once.
  bindings.BindValue("SCH:Category", ExprValue::Text("Home"));
  EXPECT_EQ(runs, 1);
  const Expression e("SCH:Date + 1 & SCH:Category", bindings);
  ASSERT_TRUE(e.ok()) << e.error();
  date = 200;
  EXPECT_EQ(e.Evaluate().text(), "201Home");

  // A binder given after the first use runs at the next look-up, once.
  bindings.BindLater([&](ExpressionBindings& b) {
    ++runs;
    b.BindValue("Later", ExprValue::Integer(7));
  });
  EXPECT_EQ(bindings.Find("SCH:Date"), 0);
  EXPECT_GE(bindings.Find("later"), 0);
  EXPECT_LT(bindings.Find("missing"), 0);
  EXPECT_EQ(runs, 2);
}

TEST(Expression, LimitsOnNestingLengthAndText) {
  Fixture f;
  auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "1" +
           std::string(static_cast<std::size_t>(depth), ')');
  };
  EXPECT_TRUE(EvaluateExpression(nested(150)).ok);
  EXPECT_EQ(EvaluateExpression(nested(5000)).error, "expression nested too deeply");

  std::string chain = "1";
  for (int i = 0; i < 150; ++i) chain += "+1";
  EXPECT_EQ(EvaluateExpression(chain).text(), "151");
  for (int i = 0; i < 5000; ++i) chain += "+1";
  EXPECT_EQ(EvaluateExpression(chain).error, "expression nested too deeply");

  EXPECT_EQ(EvaluateExpression(std::string(5000, '-') + "1").error, "expression nested too deeply");
  EXPECT_EQ(EvaluateExpression(std::string(3000, '~') + "1").error, "expression nested too deeply");
  EXPECT_EQ(EvaluateExpression(std::string(3000, '^') + "1").error.empty(), false);
  EXPECT_NE(EvaluateExpression(std::string(20000, ' ') + "1").error.find("longer than"),
            std::string::npos);

  f.bindings.BindValue("Big", ExprValue::Text(std::string(40000, 'x')));
  EXPECT_EQ(EvaluateExpression("LEN(Big & 'y')", f.bindings).text(), "40001");
  EXPECT_EQ(EvaluateExpression("Big & Big", f.bindings).error, "text longer than 65536 bytes");
}

// Random and cut-off texts: each gives a value or an error with a message, never a crash or a
// hang. The sanitizers of the test build check the memory side.
TEST(Expression, RandomAndTruncatedTextsNeverCrash) {
  Fixture f;
  for (const Row& row : kRows) {
    const std::string text = row.expression;
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      const ExpressionResult r = EvaluateExpression(text.substr(0, cut), f.bindings);
      EXPECT_TRUE(r.ok || !r.error.empty()) << text.substr(0, cut);
    }
  }

  static const char* const kPieces[] = {
      "(",
      ")",
      ",",
      "'",
      "''",
      "'a b'",
      "1",
      "0",
      "-",
      "+",
      "*",
      "/",
      "%",
      "^",
      "&",
      "=",
      "<",
      ">",
      "~",
      "<>",
      ">=",
      ".",
      "9.75",
      " ",
      "AND ",
      " OR ",
      " XOR ",
      "NOT ",
      "SCH:Date",
      "Price",
      "GLO:Category",
      "TODAY()",
      "DATE(",
      "AGE(",
      "SUB(",
      "INSTRING(",
      "UPPER(",
      "ROUND(",
      "CHOOSE(",
      "LEFT(",
      "RIGHT(",
      "1e9",
      "99999999999999999999",
      "\xc3\xa9",
      "$",
  };
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(1, 40);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const int n = length(random);
    for (int k = 0; k < n; ++k) {
      if (k % 7 == 6)
        text += static_cast<char>(byte(random));
      else
        text += kPieces[piece(random)];
    }
    const ExpressionResult r = EvaluateExpression(text, f.bindings);
    ASSERT_TRUE(r.ok || !r.error.empty()) << text;
  }
}

}  // namespace
}  // namespace vx
