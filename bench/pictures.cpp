// Display pictures: every list row and export line formats dates, times and numbers, and every
// edited field is read back through them.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "runtime/picture.h"
#include "runtime/pictures.h"

namespace {

void BM_FormatDate(benchmark::State& state, const char* picture) {
  const vx::ScopedLocaleFormats pin{vx::LocaleFormats{}};
  std::int32_t d = vx::DATE(1, 1, 2000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::FORMAT(d, picture));
    d = d < vx::DATE(1, 1, 2100) ? d + 1 : vx::DATE(1, 1, 2000);
  }
}
BENCHMARK_CAPTURE(BM_FormatDate, d3, "@d3");
BENCHMARK_CAPTURE(BM_FormatDate, d17, "@d17");

void BM_DeformatDate(benchmark::State& state, const char* picture) {
  const vx::ScopedLocaleFormats pin{vx::LocaleFormats{}};
  const std::string text = vx::FORMAT(vx::DATE(10, 31, 1959), picture);
  for (auto _ : state) benchmark::DoNotOptimize(vx::DeformatDate(text, picture));
}
BENCHMARK_CAPTURE(BM_DeformatDate, d3, "@d3");
BENCHMARK_CAPTURE(BM_DeformatDate, d17, "@d17");

void BM_FormatTime(benchmark::State& state) {
  std::int32_t t = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::FORMAT(t, "@t3"));
    t = (t + 6001) % vx::TIME_DAY + 1;
  }
}
BENCHMARK(BM_FormatTime);

void BM_FormatNumber(benchmark::State& state, const char* picture) {
  double v = -1234567.891;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::FORMAT(v, picture));
    v += 17.25;
  }
}
BENCHMARK_CAPTURE(BM_FormatNumber, n_10_2, "@n-14.2");
BENCHMARK_CAPTURE(BM_FormatNumber, n6, "@n6");

void BM_FormatLong(benchmark::State& state) {
  std::int64_t v = 0;
  for (auto _ : state) benchmark::DoNotOptimize(vx::FORMAT(++v, "@n-13"));
}
BENCHMARK(BM_FormatLong);

void BM_DeformatNumber(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vx::DeformatDecimal(" -1,234,567.89", "@n-14.2"));
}
BENCHMARK(BM_DeformatNumber);

// With the picture read once, as a list column does.
void BM_FormatDateParsedOnce(benchmark::State& state) {
  const vx::Picture picture = *vx::ParsePicture("@d3");
  std::int32_t d = vx::DATE(1, 1, 2000);
  for (auto _ : state) benchmark::DoNotOptimize(vx::FormatDateValue(d++, picture));
}
BENCHMARK(BM_FormatDateParsedOnce);

}  // namespace
