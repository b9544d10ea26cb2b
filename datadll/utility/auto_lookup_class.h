// Lets one key press the lookup button ("...") that stands right after an entry: INIT finds
// every such button of the window, has the entry and the button alert the key, and TAKEALERTKEY
// (called for every event) turns the key, pressed in either of them, into a press of the
// button.
#pragma once

#include "runtime/queue.h"

namespace vx {

class Window;

struct AUTOLOOKUP_RECORD {
  long FEQ = 0;        // the entry (the control just before the button)
  long BUTTONFEQ = 0;  // its lookup button
};

class AUTOLOOKUPCLASS {
 public:
  void INIT(Window& window, long key);
  // Answers true when the event was the key in an entry or button of a pair: the button has
  // been pressed and the key needs no other handling.
  bool TAKEALERTKEY();
  void KILL() { Q.Free(); }

  Queue<AUTOLOOKUP_RECORD> Q;
  long ALERTKEY = 0;

 private:
  Window* window_ = nullptr;
};

}  // namespace vx
