// Points the framework's forms and lists at the data library's per-thread request globals,
// and clears those globals on every runtime thread as it starts (the program's first thread
// may be a thread that ran a program before).
#include "datadll/dictionary/globals.h"
#include "framework/request_globals.h"
#include "runtime/threads.h"

namespace vx {
namespace {

std::uint8_t& Request() { return GLOBALREQUEST; }
std::uint8_t& Response() { return GLOBALRESPONSE; }

const bool g_installed = [] {
  SetRequestChannel({&Request, &Response});
  RegisterThreadState([] {
    GLOBALREQUEST = 0;
    GLOBALRESPONSE = 0;
    VCRREQUEST = 0;
  });
  return true;
}();

}  // namespace
}  // namespace vx
