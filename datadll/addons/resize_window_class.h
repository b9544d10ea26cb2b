// Proportional resizing: the controls of a free area (Control::Free) move and grow by fixed
// shares of the area's change in size, and a window can be placed over part of its frame.
//
// MH::RESIZEFRAMECLASS measures the frame: the area's width and height (less the adjustments)
// and the window's font. MH::RESIZEWINDOWCLASS starts from that measure: each control added
// with four factors gets, whenever the area is sized, its starting x, y, width and height plus
// the area's change in width (x, width) or height (y, height) times its factor. With `initial
// is minimum` the area never counts as smaller than it started. A size that did not change since
// the last one moves nothing. When the lists that grow with the height have room for another
// number of rows than before, the window manager is reset so that they fill to their new height.
// INITIALRESIZE fixes the window's least size (the start, in a direction that may not change or
// that may not shrink below the start) before placing the window over its frame.
//
// A class used in the wrong order (a frame never measured, or measured in another font than the
// window's) is a mistake of the program built on it: INIT says so in a "Programmer Error" box and
// answers false, leaving the window as it is, and the program carries on.
#pragma once

#include <string>
#include <vector>

namespace vx {
class Window;
class Control;
class WindowManager;
}  // namespace vx

namespace vx::MH {

class RESIZEFRAMECLASS {
 public:
  virtual ~RESIZEFRAMECLASS() = default;
  void INIT(int median) { MEDIAN = median; }
  void SETADJUST(int width_adjust, int height_adjust) {
    ADJW = width_adjust;
    ADJH = height_adjust;
  }
  // Measures `area` (its Width and Height, dialog units) and the font of its window.
  void MEASURE(const Control& area);
  // Measures again when the area was sized; answers 0.
  int TAKEEVENT();
  int GETW() const { return ORIGW; }
  int GETH() const { return ORIGH; }
  void KILL() {}

  int ADJW = 0, ADJH = 0;
  std::string FONT;
  int MEDIAN = 0;
  int ORIGW = 0, ORIGH = 0;
  bool MEASURED = false;

 private:
  const Control* area_ = nullptr;
};

class RESIZEWINDOWCLASS {
 public:
  virtual ~RESIZEWINDOWCLASS() = default;
  // Answers false (after a "Programmer Error" box) when `frame` cannot be used.
  bool INIT(RESIZEFRAMECLASS& frame, Control& area, int initial_width, int initial_height,
            bool resize_width, bool resize_height, bool initial_is_minimum,
            bool border_beyond_minimum);
  void ADDCONTROL(int control, double x_factor, double y_factor, double width_factor,
                  double height_factor);
  // Takes the control's current place as its start again, scaled back to the starting size,
  // for the letters of `which` ("X", "Y", "W", "H").
  void UPDATECONTROL(int control, const std::string& which);
  // The area was sized: moves the controls; answers 5 when it handled the event, else 0.
  int TAKEEVENT();
  // Places the controls for an area of this size (what TAKEEVENT does with the new size).
  void RESIZE(long width, long height);
  // Fixes the window's least size, then places it (SETINITIALDIMENSIONS).
  void INITIALRESIZE(bool maximise, const std::string& horizontal, const std::string& vertical,
                     int horizontal_adjust, int vertical_adjust);
  virtual void SETINITIALDIMENSIONS(bool maximise, const std::string& horizontal,
                                    const std::string& vertical, int horizontal_adjust,
                                    int vertical_adjust);
  void KILL() { controls_.clear(); }

  bool RESIZEW = true, RESIZEH = true, ORIGISMIN = false, BORDERBEYONDMIN = false;
  int ORIGWINW = 0, ORIGWINH = 0, LASTWINW = 0, LASTWINH = 0;
  long LASTBROWSEROWS = 0;                 // rows the growing lists had room for at the last size
  WindowManager* WINDOWMANAGER = nullptr;  // reset when those rows change (none: nothing)

 private:
  struct Entry {
    int control;
    long x, y, width, height;
    double fx, fy, fw, fh;
  };
  long BrowseRows() const;
  RESIZEFRAMECLASS* frame_ = nullptr;
  Control* area_ = nullptr;
  std::vector<Entry> controls_;
};

}  // namespace vx::MH
