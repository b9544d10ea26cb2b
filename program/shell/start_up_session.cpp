#include "program/shell/start_up_session.h"

#include <atomic>

#include "platform/session_end.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

std::atomic<int> gWatch{0};
std::atomic<bool> gEnded{false};

}  // namespace

void WatchStartUpSession() {
  StopWatchingStartUpSession();
  gEnded = false;
  gWatch = platform::WatchSessionEnd({[] { return 1L; },
                                      [] {
                                        gEnded = true;
                                        AnswerQuestionsWithDefaults();
                                      }});
}

bool StartUpSessionEnded() { return gWatch != 0 && gEnded; }

bool StopWatchingStartUpSession() {
  const int watch = gWatch.exchange(0);
  if (watch == 0) return false;
  platform::StopWatchingSessionEnd(watch);
  return gEnded.exchange(false);
}

}  // namespace vx
