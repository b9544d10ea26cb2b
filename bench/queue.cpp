// Queue sort, sorted insert and walk over 10,000 entries: the size of a long list window's queue.
#include <benchmark/benchmark.h>

#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace {

struct Row {
  vx::String<64> NAME;
  long Seq = 0;
};

vx::Queue<Row> Filled(long n) {
  vx::Queue<Row> q;
  q.Reserve(static_cast<std::size_t>(n));
  for (long i = 0; i < n; ++i) {
    q.buffer.Seq = (i * 7919) % n;
    q.buffer.NAME = "row " + std::to_string(q.buffer.Seq);
    q.Add();
  }
  return q;
}

}  // namespace

static void BM_QueueSortByText(benchmark::State& state) {
  const vx::Queue<Row> source = Filled(state.range(0));
  for (auto _ : state) {
    vx::Queue<Row> q = source;
    q.SortBy(&Row::NAME);
    benchmark::DoNotOptimize(q.Records());
  }
}
BENCHMARK(BM_QueueSortByText)->Arg(10'000);

static void BM_QueueAddSorted(benchmark::State& state) {
  for (auto _ : state) {
    vx::Queue<Row> q;
    for (long i = 0; i < state.range(0); ++i) {
      q.buffer.Seq = (i * 7919) % state.range(0);
      q.AddBy(&Row::Seq);
    }
    benchmark::DoNotOptimize(q.Records());
  }
}
BENCHMARK(BM_QueueAddSorted)->Arg(10'000);

static void BM_QueueWalkWithGet(benchmark::State& state) {
  vx::Queue<Row> q = Filled(state.range(0));
  for (auto _ : state) {
    long sum = 0;
    for (long i = 1; i <= q.Records(); ++i) {
      q.Get(i);
      sum += q.buffer.Seq;
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_QueueWalkWithGet)->Arg(10'000);
