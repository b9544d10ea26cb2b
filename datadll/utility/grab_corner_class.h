// A size grip in a window's lower right corner, which the front end draws and keeps in the
// corner while the window is resized; TAKERESIZE (called after a resize) moves the model's grip
// to the new corner and notes its place in ".\DEBUG.INI" ([Position] X and Y).
#pragma once

namespace vx {

class Window;

class GRABCORNERCLASS {
 public:
  void INIT(Window& window);
  void TAKERESIZE();
  void KILL() {}

  long FEQ = 0;  // the grip's control
  Window* W = nullptr;

 private:
  void Place();
};

}  // namespace vx
