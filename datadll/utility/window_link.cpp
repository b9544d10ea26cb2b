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
  if (const Window* window = CurrentWindow()) {
    const long thread = window->Thread() ? window->Thread() : THREAD();
    const int id = window->Id();
    link.post = [thread, id](int event) {
      Event e;
      e.number = event;
      e.window = id;
      PostEvent(thread, std::move(e));
    };
  }
  return link;
}

void SetCurrentWindowLinkSource(std::function<WindowLink()> source) {
  std::lock_guard lock(gSourceMutex);
  gSource = std::move(source);
}

}  // namespace vx
