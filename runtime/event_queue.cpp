#include "runtime/event_queue.h"

#include <algorithm>

#include "runtime/threads.h"

namespace vx {

void EventQueue::Push(Event event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  ready_.notify_one();
}

bool EventQueue::PushMerged(Event event) {
  {
    std::lock_guard lock(mutex_);
    const bool waiting = std::any_of(events_.begin(), events_.end(), [&](const Event& e) {
      return e.number == event.number && e.window == event.window && e.control == event.control;
    });
    if (waiting) return false;
    events_.push_back(std::move(event));
  }
  ready_.notify_one();
  return true;
}

std::optional<Event> EventQueue::TryPop() {
  std::lock_guard lock(mutex_);
  if (events_.empty()) return std::nullopt;
  Event e = std::move(events_.front());
  events_.pop_front();
  return e;
}

std::optional<Event> EventQueue::Wait(Clock::time_point deadline) {
  // The runtime lock goes first and comes back last, so the queue's own lock is never held
  // while waiting for the runtime lock.
  RuntimeUnlocked unlocked;
  ReadySpareThread();
  std::unique_lock lock(mutex_);
  ready_.wait_until(lock, deadline, [&] { return !events_.empty(); });
  if (events_.empty()) return std::nullopt;
  Event e = std::move(events_.front());
  events_.pop_front();
  return e;
}

bool EventQueue::Pending(int number, int window) const {
  std::lock_guard lock(mutex_);
  return std::any_of(events_.begin(), events_.end(),
                     [&](const Event& e) { return e.number == number && e.window == window; });
}

void EventQueue::Clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}

}  // namespace vx
