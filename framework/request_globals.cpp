#include "framework/request_globals.h"

#include <atomic>

#include "runtime/threads.h"

namespace vx {
namespace {

thread_local std::uint8_t t_request = 0;
thread_local std::uint8_t t_response = 0;

std::uint8_t& OwnRequest() { return t_request; }
std::uint8_t& OwnResponse() { return t_response; }

// Set once at load by the data library, read on every thread.
std::atomic<std::uint8_t& (*)()> g_request{&OwnRequest};
std::atomic<std::uint8_t& (*)()> g_response{&OwnResponse};

const bool g_registered = [] {
  RegisterThreadState([] { t_request = t_response = 0; });
  return true;
}();

}  // namespace

void SetRequestChannel(RequestChannel channel) {
  g_request = channel.request ? channel.request : &OwnRequest;
  g_response = channel.response ? channel.response : &OwnResponse;
}

long CurrentRequest() { return g_request.load()(); }
void SetCurrentRequest(long request) { g_request.load()() = static_cast<std::uint8_t>(request); }
long CurrentResponse() { return g_response.load()(); }
void SetCurrentResponse(long response) {
  g_response.load()() = static_cast<std::uint8_t>(response);
}

}  // namespace vx
