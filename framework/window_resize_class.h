// Keeps the controls of a free area (Control::Free) in step with the area's size, each by its
// strategy. By default a control is resized: its place and size keep their shares of the area's
// width and height, so the controls grow and move apart as the area grows. A control fixed to
// the top left keeps its place and its size whatever the area's (a toolbar's picture buttons,
// which would otherwise stretch). A stretched control keeps its place and takes up the area's
// change of width and height (a text that fills the rest of the area below its toolbar); one
// stretched in width alone also keeps its height (a ruler over such a text).
//
//   WINDOWRESIZECLASS resizer;
//   resizer.Init(window, area);  // the area and its controls as they stand are the start
//   resizer.SetStrategy(button, WINDOWRESIZECLASS::FixTopLeft);
//   manager.AddItem(resizer);    // or call TakeEvent from the window's own loop
//
// The front end tells the area's size as EVENT_Sized on the area (the model keeps it in the
// area's Width and Height); TakeEvent places the controls for that size. Only the controls made
// directly in the area before Init are placed; any made later stand where the program put them.
#pragma once

#include <map>

#include "framework/window_component.h"

namespace vx {

class Window;

class WINDOWRESIZECLASS : public WindowComponent {
 public:
  enum Strategy {
    Proportional,  // place and size in proportion to the area
    FixTopLeft,    // place and size kept
    Stretch,       // place kept, width and height changed by as much as the area's
    StretchWidth,  // place and height kept, width changed by as much as the area's
  };

  // Takes the area's size and its controls' places as the start; every control is proportional.
  void Init(Window& window, int area);
  void SetStrategy(int control, Strategy strategy);
  Strategy StrategyOf(int control) const;
  // EVENT_Sized on the area: its controls placed for its new size.
  Level TakeEvent() override;
  // Places the controls for an area of `width` by `height` dialog units.
  void Resize(long width, long height);
  void Kill() override;

 private:
  struct Start {
    long x = 0, y = 0, width = 0, height = 0;
    Strategy strategy = Proportional;
  };
  Window* window_ = nullptr;
  int area_ = 0;
  long width_ = 0, height_ = 0;  // the area at the start
  std::map<int, Start> controls_;
};

}  // namespace vx
