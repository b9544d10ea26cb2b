// Helpers for tests that need the X server the test command starts.
#pragma once

#include <gtest/gtest.h>

#include "platform/x11_display.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace vx::test {

// Skips the test when no X display can be opened.
#define VX_REQUIRE_DISPLAY()                                          \
  do {                                                                \
    if (Display* probe = vx::platform::OpenX11Display()) {            \
      XCloseDisplay(probe);                                           \
    } else {                                                          \
      GTEST_SKIP() << "no X display (set DISPLAY or run under Xvfb)"; \
    }                                                                 \
  } while (0)

// Collects values that another thread hands over, and waits for them.
template <typename T>
class Inbox {
 public:
  void Put(T value) {
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(value));
    changed_.notify_all();
  }
  // Waits until at least `count` values arrived or the time is up; returns what arrived.
  std::vector<T> WaitFor(std::size_t count, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return items_.size() >= count; });
    return items_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<T> items_;
};

// Presses a key until the inbox has a value, a few times: tests in other processes share the
// display, and a modifier they hold at that instant changes the chord the server sees.
template <typename T>
std::vector<T> PressUntilReceived(Inbox<T>& inbox, const std::function<bool()>& press) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (!press()) return {};
    auto got = inbox.WaitFor(1, std::chrono::milliseconds(500));
    if (!got.empty()) return got;
  }
  return {};
}

}  // namespace vx::test
