// Day-number conversions: the base of every schedule computation.
#include <benchmark/benchmark.h>

#include "runtime/dates.h"

static void BM_DateFromParts(benchmark::State& state) {
  int d = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::DATE(3, d, 2025));
    d = d % 400 + 1;
  }
}
BENCHMARK(BM_DateFromParts);

static void BM_SplitDate(benchmark::State& state) {
  std::int32_t n = vx::DATE(1, 1, 2000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::SplitDate(n));
    ++n;
  }
}
BENCHMARK(BM_SplitDate);
