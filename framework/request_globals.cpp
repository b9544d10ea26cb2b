#include "framework/request_globals.h"

#include "runtime/threads.h"

namespace vx {

thread_local long GLOBALREQUEST = 0;
thread_local long GLOBALRESPONSE = 0;
thread_local long VCRREQUEST = 0;

namespace {
const bool g_registered = [] {
  RegisterThreadState([] {
    GLOBALREQUEST = 0;
    GLOBALRESPONSE = 0;
    VCRREQUEST = 0;
  });
  return true;
}();
}  // namespace

}  // namespace vx
