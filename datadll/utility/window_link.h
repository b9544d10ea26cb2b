// What a desktop-service class (tray icon, hot keys, end of session) needs from the window it
// serves. The window runtime supplies the link of the current window; tests supply fakes.
#pragma once

#include <functional>
#include <utility>

#include "runtime/window/properties.h"

namespace vx {

struct WindowLink {
  // Puts an event on the queue of the window's thread (POST). Callable from any thread.
  std::function<void(int event)> post;
  // Runs a message handler as the window's own code would run: on the window's thread, or
  // holding the runtime lock. Unset: the handler runs at once on the calling thread.
  std::function<void(std::function<void()>)> deliver;
  // Sets a numbered property of the window that the model has no name for. Unset: ignored.
  std::function<void(int property, long value)> set_property;
  // Reads and sets a property of the window's model (Hide, Iconize ...), on the window's
  // thread. Unset: reads 0, sets nothing.
  std::function<long(Prop)> get;
  std::function<void(Prop, long)> set;
  // Brings the window to the front unless it is there already. Unset: nothing.
  std::function<void()> to_front;

  void Post(int event) const {
    if (post) post(event);
  }
  void Deliver(std::function<void()> handler) const {
    if (deliver)
      deliver(std::move(handler));
    else
      handler();
  }
  void SetProperty(int property, long value) const {
    if (set_property) set_property(property, value);
  }
  long Get(Prop prop) const { return get ? get(prop) : 0; }
  void Set(Prop prop, long value) const {
    if (set) set(prop, value);
  }
  void ToFront() const {
    if (to_front) to_front();
  }
};

// The link of the window that is current on the calling thread. Unless a source is installed,
// the runtime's newest open window of the calling thread: posts, model and numbered properties
// and bringing to the front go to it, messages run holding the runtime lock (they may come from
// a desktop listener's thread); with no window open, nothing is wired.
WindowLink CurrentWindowLink();
// Installed by the window runtime at start-up (and by tests).
void SetCurrentWindowLinkSource(std::function<WindowLink()> source);

}  // namespace vx
