// A hot-key service for tests: records grabs, refuses chosen keys, and presses keys on demand.
#pragma once

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/hot_keys.h"

namespace vx::test {

struct GrabLog {
  std::vector<std::pair<int, unsigned>> grabs;  // (id, modifiers << 8 | key) in call order
  std::vector<int> ungrabs;
  std::set<unsigned> refused;    // (modifiers << 8 | key) another program holds
  std::map<int, unsigned> held;  // id -> key held now
  platform::HotKeyGrabber::PressHandler handler;
};

class FakeHotKeyGrabber final : public platform::HotKeyGrabber {
 public:
  explicit FakeHotKeyGrabber(GrabLog& log) : log_(log) {}
  bool Grab(int id, unsigned modifiers, unsigned key) override {
    const unsigned chord = modifiers << 8 | key;
    log_.grabs.emplace_back(id, chord);
    log_.held.erase(id);
    if (log_.refused.count(chord)) return false;
    log_.held[id] = chord;
    return true;
  }
  bool Ungrab(int id) override {
    log_.ungrabs.push_back(id);
    return log_.held.erase(id) > 0;
  }
  void SetPressHandler(PressHandler handler) override { log_.handler = std::move(handler); }

 private:
  GrabLog& log_;
};

}  // namespace vx::test
