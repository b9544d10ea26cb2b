#include "frontend/qt/post_input.h"

#include "runtime/threads.h"

namespace vx::qt {

void PostInput(long thread, Input input) {
  Event e;
  e.number = input.event;
  e.window = input.window;
  e.control = input.control;
  e.text = std::move(input.text);
  e.choice = input.choice;
  e.keycode = input.keycode;
  e.from_user = true;
  PostEvent(thread, std::move(e));
}

}  // namespace vx::qt
