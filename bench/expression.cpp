// The expression evaluator on a list filter: read once and run per record, or read and run
// each time (as a script's "=" value is).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "runtime/dates.h"
#include "runtime/expression/evaluate.h"
#include "runtime/fixed_string.h"
#include "tests/support/fixed_clock.h"

namespace {

constexpr const char* kFilter =
    "UPPER(SCH:Category) = UPPER('work') AND SCH:Date>=TODAY() AND SCH:Date<TODAY()+7 "
    "AND ~(SCH:Disabled OR SCH:Completed)";

struct Record {
  std::int32_t date = vx::DATE(6, 15, 2026);
  vx::String<20> category{"Work"};
  std::uint8_t disabled = 0;
  std::uint8_t completed = 0;
  vx::ExpressionBindings bindings;
  Record() {
    bindings.BindInteger("SCH:Date", &date);
    bindings.BindText("SCH:Category", &category);
    bindings.BindInteger("SCH:Disabled", &disabled);
    bindings.BindInteger("SCH:Completed", &completed);
  }
};

const vx::test::FixedClock kClock(vx::DATE(6, 15, 2026), vx::MakeTime(12, 0));

}  // namespace

static void BM_FilterEvaluatePerRecord(benchmark::State& state) {
  vx::test::ScopedClock clock(kClock);
  Record r;
  const vx::Expression filter(kFilter, r.bindings);
  std::int32_t day = 0;
  for (auto _ : state) {
    r.date = vx::DATE(6, 10, 2026) + day;
    day = (day + 1) % 14;
    benchmark::DoNotOptimize(filter.Evaluate().IsTrue());
  }
}
BENCHMARK(BM_FilterEvaluatePerRecord);

static void BM_FilterReadAndEvaluate(benchmark::State& state) {
  vx::test::ScopedClock clock(kClock);
  Record r;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::EvaluateExpression(kFilter, r.bindings).IsTrue());
  }
}
BENCHMARK(BM_FilterReadAndEvaluate);

static void BM_AgeExpression(benchmark::State& state) {
  vx::test::ScopedClock clock(kClock);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::EvaluateExpression(" AGE(DATE(5,17,1970),TODAY())").text());
  }
}
BENCHMARK(BM_AgeExpression);
