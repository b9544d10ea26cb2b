#include "program/windows/open_windows.h"

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {

Queue<OPENWINDOWQUEUE_RECORD> OPENWINDOWQUEUE;

bool EnterSingleInstance(std::string_view name) {
  OPENWINDOWQUEUE.buffer.NAME = name;
  if (OPENWINDOWQUEUE.GetBy(&OPENWINDOWQUEUE_RECORD::NAME) == 0) {
    const long thread = OPENWINDOWQUEUE.buffer.THREAD;
    // An entry whose thread has gone (a window that never reached its close) must not keep
    // the window from ever opening again.
    if (ThreadAlive(thread)) {
      POST(EVENT_GainFocus, 0, thread);
      return false;
    }
    OPENWINDOWQUEUE.Delete();
  }
  OPENWINDOWQUEUE.buffer.NAME = name;
  OPENWINDOWQUEUE.buffer.THREAD = static_cast<std::int32_t>(THREAD());
  OPENWINDOWQUEUE.Add();
  return true;
}

void LeaveSingleInstance(std::string_view name) {
  for (long i = OPENWINDOWQUEUE.Records(); i >= 1; --i) {
    OPENWINDOWQUEUE.Get(i);
    if (OPENWINDOWQUEUE.buffer.NAME == name && OPENWINDOWQUEUE.buffer.THREAD == THREAD())
      OPENWINDOWQUEUE.Delete();
  }
}

void BringWindowForward(Window& window, int list) {
  if (window.GetNumber(Prop::Iconize) != 0) window.Set(Prop::Iconize, false);
  window.ToFront();
  if (list) window.Select(list);
}

}  // namespace vx
