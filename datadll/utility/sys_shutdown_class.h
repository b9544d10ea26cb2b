// Tells a window that the desktop session is ending (log-off or shut-down), so the main frame
// can close its files and tasks in order: events 1041 (may the session end?) and 1046 (it ends).
#pragma once

#include "datadll/utility/window_link.h"

namespace vx {

class SYSSHUTDOWNCLASS {
 public:
  // The window property the class sets to 1 on its window.
  static constexpr int kSessionEndProperty = 31850;

  SYSSHUTDOWNCLASS() = default;
  ~SYSSHUTDOWNCLASS();
  SYSSHUTDOWNCLASS(const SYSSHUTDOWNCLASS&) = delete;
  SYSSHUTDOWNCLASS& operator=(const SYSSHUTDOWNCLASS&) = delete;

  // Watches for the end of the session on behalf of the current window.
  void INIT(long queryAnswer, long endAnswer);
  void INIT(WindowLink window, long queryAnswer, long endAnswer);
  void KILL();

  // The window procedure's handling of the session's two messages: each posts its event to the
  // window and answers with the stored answer; the end also answers every open question with its
  // default. They may run on any thread.
  long QueryEndSession();
  long EndSession();

  long QueryAnswer = 0;
  long EndAnswer = 0;

 private:
  WindowLink window_;
  int watch_ = 0;  // the session-end listener's token; 0 when not watching
};

}  // namespace vx
