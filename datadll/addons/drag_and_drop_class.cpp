#include "datadll/addons/drag_and_drop_class.h"

#include "runtime/events.h"
#include "runtime/window/drag_and_drop.h"
#include "runtime/window/window.h"

namespace vx::SDD {

void DRAGANDDROPCLASS::INIT(Window& window, int source, int target, std::string_view id) {
  INIT(window, source, target, id, {}, {});
}

void DRAGANDDROPCLASS::INIT(Window& window, int source, int target, std::string_view id,
                            std::string_view drag_cursor, std::string_view drop_cursor) {
  window_ = &window;
  ID = id.empty() ? std::string(" ") : std::string(id);
  while (ID.size() > 1 && ID.back() == ' ') ID.pop_back();
  DRAGCONTROL = source;
  DROPCONTROL = target;
  DRAGCURSOR = std::string(drag_cursor);
  DROPCURSOR = std::string(drop_cursor);
  window[source].Set(Prop::DragId, ID);
  window[target].Set(Prop::DropId, ID);
}

int DRAGANDDROPCLASS::TAKEEVENT() {
  if (!window_) return 0;
  const bool cursors = !DRAGCURSOR.empty() || !DROPCURSOR.empty();
  const int event = EVENT();
  if (event == EVENT_Dragging && FIELD() == DRAGCONTROL && cursors) {
    cursor_before_ = window_->Get(Prop::Cursor);
    window_->Set(Prop::Cursor, DRAGCURSOR);
  } else if (event == EVENT_MouseMove && FIELD() == DRAGCONTROL && cursors) {
    // Over the target the drop cursor, elsewhere the drag cursor: the target's place is known
    // from its X, Y, Width and Height in the same area as the source.
    const Control& target = (*window_)[DROPCONTROL];
    const long x = window_->GetNumber(Prop::MouseX), y = window_->GetNumber(Prop::MouseY);
    const long tx = target.GetNumber(Prop::X), ty = target.GetNumber(Prop::Y);
    const bool over = x >= tx && x < tx + target.GetNumber(Prop::Width) && y >= ty &&
                      y < ty + target.GetNumber(Prop::Height) &&
                      CarriesIdentifier(target, ID, true);
    window_->Set(Prop::Cursor, over ? DROPCURSOR : DRAGCURSOR);
  } else if (event == EVENT_Drag && FIELD() == DRAGCONTROL) {
    if (cursors) window_->Set(Prop::Cursor, cursor_before_);
    if (DRAGID() == ID && DROPPEDON() == DROPCONTROL) DRAG();
  } else if (event == EVENT_Drop && FIELD() == DROPCONTROL) {
    if (DRAGID() == ID) DROP();
  }
  return 0;
}

}  // namespace vx::SDD
