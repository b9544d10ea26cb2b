#include "datadll/utility/sys_shutdown_class.h"

#include "platform/session_end.h"
#include "runtime/events.h"
#include "runtime/window/dialogs.h"

namespace vx {

SYSSHUTDOWNCLASS::~SYSSHUTDOWNCLASS() { KILL(); }

void SYSSHUTDOWNCLASS::INIT(long queryAnswer, long endAnswer) {
  INIT(CurrentWindowLink(), queryAnswer, endAnswer);
}

void SYSSHUTDOWNCLASS::INIT(WindowLink window, long queryAnswer, long endAnswer) {
  KILL();  // a second INIT replaces the first watch instead of adding one
  QueryAnswer = queryAnswer;
  EndAnswer = endAnswer;
  window_ = std::move(window);
  watch_ =
      platform::WatchSessionEnd({[this] { return QueryEndSession(); }, [this] { EndSession(); }});
  window_.SetProperty(kSessionEndProperty, 1);
}

void SYSSHUTDOWNCLASS::KILL() {
  if (watch_ != 0) platform::StopWatchingSessionEnd(watch_);
  watch_ = 0;
}

long SYSSHUTDOWNCLASS::QueryEndSession() {
  window_.Post(EVENT_QueryEndSession);
  return QueryAnswer;
}

long SYSSHUTDOWNCLASS::EndSession() {
  window_.Post(EVENT_EndSession);
  // The session ends whatever is still being asked: a question open on the window's thread
  // takes its default, or the thread would never see the event.
  AnswerQuestionsWithDefaults();
  return EndAnswer;
}

}  // namespace vx
