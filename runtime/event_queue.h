// One runtime thread's queue of pending events, filled from any thread and emptied by its owner.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace vx {

// An event on its way to a window. Events a front end sends for user input also carry the new
// screen contents, which the owning thread applies to the control before the program sees them.
struct Event {
  int number = 0;
  int control = 0;  // control number; 0 for window events
  int window = 0;   // window id; 0 means the thread's current (topmost) window
  int keycode = 0;
  bool from_user = false;  // text and choice below are a screen change to apply
  std::string text;        // new contents of an entry, spin, text or combo
  long choice = 0;         // new choice: check 1/0, radio, drop-list item, list row, tab
  long tag = 0;            // a front end's number for the event, reported back when taken
};

class EventQueue {
 public:
  using Clock = std::chrono::steady_clock;

  void Push(Event event);
  // Puts the event in unless one with the same number, window and control is already waiting,
  // so that repeated timer ticks merge instead of piling up. Answers whether it went in.
  bool PushMerged(Event event);
  std::optional<Event> TryPop();
  // Waits (without the runtime lock, which the caller must hold) for an event until deadline.
  std::optional<Event> Wait(Clock::time_point deadline);
  bool Pending(int number, int window) const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Event> events_;
};

}  // namespace vx
