#include "datadll/utility/window_link.h"

#include <mutex>

#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::mutex gSourceMutex;
std::function<WindowLink()> gSource;

}  // namespace

WindowLink CurrentWindowLink() {
  std::function<WindowLink()> source;
  {
    std::lock_guard lock(gSourceMutex);
    source = gSource;
  }
  if (source) return source();
  WindowLink link;
  if (Window* window = CurrentWindow()) {
    const long thread = window->Thread() ? window->Thread() : THREAD();
    const int id = window->Id();
    link.post = [thread, id](int event) {
      Event e;
      e.number = event;
      e.window = id;
      PostEvent(thread, std::move(e));
    };
    // Desktop listeners run on threads of their own: their handlers take the runtime lock, so
    // that what they change (the pressed-key queue) is shared safely with the window's thread.
    link.deliver = [](std::function<void()> handler) { RunWithRuntimeLock(handler); };
    // The model properties are the window's own: used on its thread while it is open.
    link.get = [window](Prop prop) { return window->GetNumber(prop); };
    link.set = [window](Prop prop, long value) { window->Set(prop, value); };
    link.set_property = [window](int property, long value) {
      window->SetNumberedProperty(property, value);
    };
    link.to_front = [window] { window->ToFront(); };
  }
  return link;
}

void SetCurrentWindowLinkSource(std::function<WindowLink()> source) {
  std::lock_guard lock(gSourceMutex);
  gSource = std::move(source);
}

}  // namespace vx
