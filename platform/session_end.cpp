#include "platform/session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace vx::platform {
namespace {

// Listeners by token. gDispatchMutex is held while listeners are called, so that stopping a
// listener waits for a call in progress (unless the listener stops itself).
std::mutex gListenersMutex;
std::recursive_mutex gDispatchMutex;
thread_local bool tDispatching = false;
std::map<int, SessionEndListener> gListeners;
int gNextToken = 1;
struct sigaction gPreviousAction;

// The SIGTERM handler only writes a byte to this pipe; the watcher thread, started once and
// blocked on the pipe for the rest of the process, does the work.
int gPipe[2] = {-1, -1};

void OnSigterm(int) {
  const int saved = errno;
  const char byte = 't';
  [[maybe_unused]] ssize_t n = write(gPipe[1], &byte, 1);
  errno = saved;
}

std::map<int, SessionEndListener> Listeners() {
  std::lock_guard lock(gListenersMutex);
  return gListeners;
}

void Watch() {
  for (;;) {
    char byte = 0;
    const ssize_t n = read(gPipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    std::lock_guard dispatch(gDispatchMutex);
    tDispatching = true;
    const auto listeners = Listeners();
    if (listeners.empty()) {
      // The last listener left while the signal was on its way: it still ends the process.
      sigaction(SIGTERM, &gPreviousAction, nullptr);
      raise(SIGTERM);
    }
    // SIGTERM cannot be refused: the answers to the question are not used.
    for (const auto& [token, listener] : listeners)
      if (listener.query) listener.query();
    for (const auto& [token, listener] : listeners)
      if (listener.end) listener.end();
    tDispatching = false;
  }
}

bool StartWatcher() {
  static const bool started = [] {
    if (pipe2(gPipe, O_CLOEXEC) != 0) return false;
    std::thread(Watch).detach();
    return true;
  }();
  return started;
}

}  // namespace

int WatchSessionEnd(SessionEndListener listener) {
  std::lock_guard lock(gListenersMutex);
  if (gListeners.empty() && StartWatcher()) {
    struct sigaction action {};
    action.sa_handler = OnSigterm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &gPreviousAction);
  }
  const int token = gNextToken++;
  gListeners.emplace(token, std::move(listener));
  return token;
}

void StopWatchingSessionEnd(int token) {
  {
    std::lock_guard lock(gListenersMutex);
    if (gListeners.erase(token) == 0) return;
    if (gListeners.empty() && gPipe[0] >= 0) sigaction(SIGTERM, &gPreviousAction, nullptr);
  }
  if (!tDispatching) {
    std::lock_guard dispatch(gDispatchMutex);  // let a call in progress finish
  }
}

bool SessionQueryEnd() {
  std::lock_guard dispatch(gDispatchMutex);
  const bool outer = tDispatching;
  tDispatching = true;
  bool agreed = true;
  for (const auto& [token, listener] : Listeners())
    if (listener.query && listener.query() == 0) agreed = false;
  tDispatching = outer;
  return agreed;
}

void SessionEnd() {
  std::lock_guard dispatch(gDispatchMutex);
  const bool outer = tDispatching;
  tDispatching = true;
  for (const auto& [token, listener] : Listeners())
    if (listener.end) listener.end();
  tDispatching = outer;
}

}  // namespace vx::platform
