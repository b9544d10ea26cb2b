// A popup menu of a sheet's tabs, opened by a right click on the sheet's row of tabs: the user
// jumps to any tab without scrolling the tab row.
//
// The registered sheets are tried in order; the first one shown with the mouse over its tabs
// (TabsUnderMouse) and, unless `all` is set, with tabs that scroll (Prop::ScrollTabs) or marked
// for the popup (PREPAREWINDOW) offers its tabs' texts, the current one ticked. Choosing another
// tab selects it and posts EVENT_NewSelection to the sheet, as a click on the tab would; the right
// click that opened the menu is then kept from the list below it (TAKEBROWSENEWSELECTION).
// SBRW::TABPOPUP is the same class.
#pragma once

#include <string>
#include <vector>

namespace vx {
class Window;
class Control;
}  // namespace vx

namespace vx::addons {

enum class TabSide { Above, Below, Left, Right, None };

// Whether (x, y) lies on the tabs of a sheet at (sx, sy) of size (sw, sh), all in dialog
// units: the sheet's top (or bottom) 12 units per row of tabs across its width, or its left (or
// right) `tab_width` units down its height; a sheet showing no tabs counts over its whole area.
bool TabsUnderMouse(long sx, long sy, long sw, long sh, TabSide side, int tab_rows, long tab_width,
                    long x, long y);

}  // namespace vx::addons

namespace vx::MH {

class TABPOPUP {
 public:
  virtual ~TABPOPUP() = default;
  void INIT(Window& window);
  void ADDSHEET(int sheet, long tab_width = 0);
  // Alerts the right button on the window's controls; style 1 makes every registered sheet's
  // tabs scroll, style 2 marks them for the popup without changing how their tabs stand.
  void PREPAREWINDOW(int style = 0);
  // The event the window took last; answers 5 for the right button's pre-alert, else 0.
  int TAKEEVENT(bool all = false);
  // For a list's key handling: while the popup's click is pending, a right click is cleared.
  void TAKEBROWSENEWSELECTION();
  void KILL() { sheets_.clear(); }

  bool IGNOREMOUSERIGHT = false;
  // Where a sheet's tabs stand (every sheet of the model shows them above, one row).
  addons::TabSide SIDE = addons::TabSide::Above;

 private:
  struct Sheet {
    int control;
    long tab_width;
    bool marked;
  };
  Window* window_ = nullptr;
  std::vector<Sheet> sheets_;
};

}  // namespace vx::MH

namespace vx::SBRW {
using TABPOPUP = MH::TABPOPUP;
}  // namespace vx::SBRW
