// Runs work that might never end on a thread of its own and waits for it a limited time, so a
// test of a possible hang fails instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>
#include <utility>

namespace vx::test {

// Runs fn and answers its result once it has ended within limit. Work that is still running
// then is reported as a failure and the test program ends at once: the work goes on holding the
// program's shared state, so no later test could be trusted.
template <class Fn>
auto EndsWithin(std::chrono::seconds limit, Fn fn) {
  std::packaged_task<decltype(fn())()> task(std::move(fn));
  auto result = task.get_future();
  std::thread worker(std::move(task));
  if (result.wait_for(limit) != std::future_status::ready) {
    ADD_FAILURE() << "the work had not ended after " << limit.count() << " s";
    std::fflush(nullptr);
    std::_Exit(1);
  }
  worker.join();
  return result.get();
}

}  // namespace vx::test
