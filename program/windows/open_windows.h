// The single-instance list windows: OPENWINDOWQUEUE holds the procedure name and thread of each
// open one, so that a second start brings the open window forward instead of opening another.
// Shared by all runtime threads under the runtime lock.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

struct OPENWINDOWQUEUE_RECORD {
  String<64> NAME;
  std::int32_t THREAD = 0;
};

extern Queue<OPENWINDOWQUEUE_RECORD> OPENWINDOWQUEUE;

// Enters `name` for the calling thread and answers true; when a window of that name is open
// already, posts EVENT_GainFocus to its thread and answers false (the caller does not open).
bool EnterSingleInstance(std::string_view name);
// Removes the calling thread's entry of `name`.
void LeaveSingleInstance(std::string_view name);

// What a list window does on EVENT_GainFocus: restores itself when iconised and gives `list` the
// focus (0: leaves the focus where it is).
class Window;
void BringWindowForward(Window& window, int list);

}  // namespace vx
