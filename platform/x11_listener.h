// A connection to an X display whose events a thread of its own reads.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vx::platform {

// Other threads use the connection while holding lock(); the listener thread holds it only
// while it takes events off the connection, and hands each to the handler after letting go.
class X11Listener {
 public:
  using EventHandler = std::function<void(const XEvent&)>;

  // Null when the display (empty name: $DISPLAY) cannot be opened.
  static std::unique_ptr<X11Listener> Open(const std::string& display_name = {});
  ~X11Listener();  // stops the thread, then closes the connection
  X11Listener(const X11Listener&) = delete;
  X11Listener& operator=(const X11Listener&) = delete;

  Display* display() const { return display_; }
  std::mutex& lock() { return mutex_; }

  // Starts the thread; call once, after setting the connection up.
  void Start(EventHandler handler);
  // Tells the thread to look at the connection again: call after a request that may have read
  // events off it (XSync, for instance), once the lock is let go.
  void Wake();

 private:
  X11Listener(Display* display, int wake_read, int wake_write);
  void Listen();

  Display* display_;
  int wake_read_, wake_write_;
  std::mutex mutex_;
  EventHandler handler_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vx::platform
