// The end of the desktop session (log-off or shut-down) as the program learns of it: SIGTERM,
// which the session sends its programs as it ends, or the session manager's request, which a
// front end passes on through the two calls below.
#pragma once

#include <functional>

namespace vx::platform {

struct SessionEndListener {
  // Asked first whether the session may end; answers non-zero to agree.
  std::function<long()> query;
  // Told that the session is ending now.
  std::function<void()> end;
};

// Listens until StopWatchingSessionEnd(token). While any listener is registered, SIGTERM no
// longer ends the process at once: it asks and tells every listener (on a thread of its own),
// and the program closes itself. With the last listener gone, SIGTERM ends the process again.
int WatchSessionEnd(SessionEndListener listener);
// Waits for a SIGTERM being handled right then, so the listener is not called after this.
void StopWatchingSessionEnd(int token);

// The session manager asks whether the session may end: every listener is asked; true when all
// agree (none registered: true).
bool SessionQueryEnd();
// The session manager ends the session: every listener is told.
void SessionEnd();

}  // namespace vx::platform
