// A source and a target control paired by a drag identifier: dropping the source on the target
// calls DROP (on the target's side) and DRAG (on the source's), both hooks for a derived class.
// A drop on a control with other identifiers calls neither. With cursors given, the mouse shows
// the drop cursor while over a control that takes the identifier and the drag cursor elsewhere.
#pragma once

#include <string>

namespace vx {
class Window;
}  // namespace vx

namespace vx::SDD {

class DRAGANDDROPCLASS {
 public:
  virtual ~DRAGANDDROPCLASS() = default;
  void INIT(Window& window, int source, int target, std::string_view id);
  void INIT(Window& window, int source, int target, std::string_view id,
            std::string_view drag_cursor, std::string_view drop_cursor);
  virtual void DRAG() {}
  virtual void DROP() {}
  // For the event the window took last; answers 0 (the window goes on with the event).
  int TAKEEVENT();

  std::string ID;
  int DRAGCONTROL = 0, DROPCONTROL = 0;
  std::string DRAGCURSOR, DROPCURSOR;

 private:
  Window* window_ = nullptr;
  std::string cursor_before_;
};

}  // namespace vx::SDD
