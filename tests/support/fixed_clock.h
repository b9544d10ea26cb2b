// A clock that stands still, and a scope that installs one: every TODAY()/CLOCK() call made
// while a ScopedClock lives reads the fixed clock, so date computations in tests, benchmarks
// and fuzz runs are repeatable.
#pragma once

#include <cstdint>

#include "runtime/dates.h"

namespace vx::test {

// Stands still, or moves only when told.
class FixedClock final : public ClockSource {
 public:
  FixedClock(std::int32_t today, std::int32_t clock) : today_(today), clock_(clock) {}
  std::int32_t Today() const override { return today_; }
  std::int32_t Clock() const override { return clock_; }
  void Set(std::int32_t today, std::int32_t clock) {
    today_ = today;
    clock_ = clock;
  }

 private:
  std::int32_t today_;
  std::int32_t clock_;
};

// Installs a clock for the life of a scope and puts the previous one back after. The caller
// keeps the source alive as long as the scope.
class ScopedClock {
 public:
  explicit ScopedClock(const ClockSource& source) : previous_(&CurrentClockSource()) {
    SetClockSource(&source);
  }
  ~ScopedClock() { SetClockSource(previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  const ClockSource* previous_;
};

}  // namespace vx::test
