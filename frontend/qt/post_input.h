// User input from the screen, posted as an event to the runtime thread that owns the window.
#pragma once

#include <string>

namespace vx::qt {

struct Input {
  int event = 0;
  int window = 0;
  int control = 0;
  std::string text;  // new contents of an entry, spin, text or combo
  long choice = 0;   // new check state, radio, item, row or tab; the column of a header click
  int keycode = 0;
  long tag = 0;  // from NextInputTag when the renderer waits for the thread to take it
};

// A new tag for an input, larger than every one before: the thread's ThreadIdle message
// carries the newest tag it has taken.
long NextInputTag();

// Posts the input to `thread`; a thread that has ended takes nothing (answers false).
bool PostInput(long thread, Input input);

}  // namespace vx::qt
