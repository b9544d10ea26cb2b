#include "frontend/qt/post_input.h"

#include <atomic>

#include "runtime/threads.h"

namespace vx::qt {

long NextInputTag() {
  static std::atomic<long> last{0};
  return ++last;
}

bool PostInput(long thread, Input input) {
  Event e;
  e.number = input.event;
  e.window = input.window;
  e.control = input.control;
  e.text = std::move(input.text);
  e.choice = input.choice;
  e.keycode = input.keycode;
  e.tag = input.tag;
  e.from_user = true;
  return PostEvent(thread, std::move(e));
}

}  // namespace vx::qt
