#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/control.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

// Rows that take 1 ms each to fetch, holding the runtime lock; `may_yield` is what the source
// answers.
class SlowRows final : public ListSource {
 public:
  bool may_yield = true;
  std::size_t Records() const override { return 300; }
  std::vector<std::string> Fields(std::size_t row) const override {
    std::this_thread::sleep_for(1ms);
    return {std::to_string(row + 1)};
  }
  bool MayYieldWhileRendered() const override { return may_yield; }
};

// Ticks of another thread's timer (every hundredth of a second) while a 300-row list renders.
int TicksDuringRender(bool may_yield, std::size_t& rows_shown) {
  std::atomic<int> ticks{0};
  std::atomic<bool> ready{false};
  int during = 0;
  RunProgram([&] {
    START([&] {
      Window w("Ticker");
      w.Timer(1);
      while (w.Accept()) {
        if (EVENT() == EVENT_OpenWindow) ready = true;
        if (EVENT() == EVENT_Timer) ++ticks;
      }
    });
    while (!ready) SleepFor(1ms);
    Window w("Rows");
    auto& list = w.List("40R~N~@n5@");
    w.Open();
    SlowRows rows;
    rows.may_yield = may_yield;
    const int before = ticks;
    list.From(&rows);
    during = ticks - before;
    rows_shown = list.ShownRows().size();
    w.Close();
  });
  return during;
}

TEST(ListRenderYield, ALongRenderLetsOtherThreadsRunOnlyWhereItsSourceAllowsIt) {
  std::size_t shown = 0;
  EXPECT_GT(TicksDuringRender(true, shown), 0) << "the ticker never ran during the render";
  EXPECT_EQ(shown, 300u);
  EXPECT_EQ(TicksDuringRender(false, shown), 0) << "a shared source must be rendered in one go";
  EXPECT_EQ(shown, 300u);
}

}  // namespace
}  // namespace vx
