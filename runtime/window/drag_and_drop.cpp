#include "runtime/window/drag_and_drop.h"

#include <charconv>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::vector<std::string_view> Identifiers(const std::string& text) {
  std::vector<std::string_view> ids;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t bar = rest.find('|');
    std::string_view id = rest.substr(0, bar);
    while (!id.empty() && id.back() == ' ') id.remove_suffix(1);
    if (!id.empty()) ids.push_back(id);
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  return ids;
}

}  // namespace

bool CarriesIdentifier(const Control& control, std::string_view id, bool drop) {
  const std::string text = control.Get(drop ? Prop::DropId : Prop::DragId);
  for (std::string_view candidate : Identifiers(text)) {
    if (candidate == id) return true;
  }
  return false;
}

std::string AcceptedIdentifier(const Control* dragged, const Control* target) {
  if (!dragged || !target) return {};
  const std::string drags = dragged->Get(Prop::DragId);
  for (std::string_view id : Identifiers(drags)) {
    if (CarriesIdentifier(*target, id, true)) return std::string(id);
  }
  return {};
}

// The mouse of a drag event ("x y") into the window; an EVENT_Drag also finds its target's
// identifier and hands that control its EVENT_Drop.
void Window::TakeDragInput(Event& e) {
  // A right click on a control other than a list (whose clicks say "row column zone") may say
  // where the mouse was too.
  const bool right_click = e.number == EVENT_AlertKey && e.keycode == MouseRight &&
                           Find(e.control) && Find(e.control)->Type() != ControlType::List;
  if (e.number != EVENT_Dragging && e.number != EVENT_MouseMove && e.number != EVENT_Drag &&
      !right_click)
    return;
  long xy[2] = {0, 0};
  const char* p = e.text.data();
  const char* end = p + e.text.size();
  int read = 0;
  for (long& n : xy) {
    while (p < end && *p == ' ') ++p;
    const auto [next, ec] = std::from_chars(p, end, n);
    if (ec != std::errc()) break;
    p = next;
    ++read;
  }
  if (read == 2) Set(Prop::MouseX, xy[0]).Set(Prop::MouseY, xy[1]);
  if (e.number != EVENT_Drag) return;
  Control* target = e.choice > 0 ? Find(static_cast<int>(e.choice)) : nullptr;
  if (target && (!target->Visible() || !target->Enabled())) target = nullptr;
  e.text = AcceptedIdentifier(Find(e.control), target);
  if (e.text.empty()) return;
  Event drop;
  drop.number = EVENT_Drop;
  drop.control = target->Number();
  drop.window = id_;
  drop.text = e.text;
  drop.choice = e.control;
  PostEvent(thread_, std::move(drop));
}

}  // namespace vx
