// How a container arranges the controls directly inside it, and where each control lands.
//
// Every container (the window itself, a group box, panel, region, tab page or option) has an
// arrangement, written in its Layout property:
//   "form"     form rows: a prompt on the left with its field beside it on the right; any other
//              control takes a row of its own across both columns; consecutive buttons share one
//              row (the dialog's button row). The default, so a plain form needs no layout call.
//   "row"      one row, left to right: buttons, or fields side by side.
//   "grid N"   N columns, filled left to right and then down (a month of days, 7 wide).
//   "beside"   panes side by side, each taking an equal share of the width and the full height.
//   "stacked"  panes one above the other, each the full width.
//   "free"     each control where its X, Y, Width and Height say (dialog units from the
//              container's inside); the front end sets that place and nothing else moves it,
//              so a program can move and size controls itself (a splitter bar, proportional
//              resizing). Controls there have no row or column (0).
// The model places each control as it is made (its Row and Column properties, from 1), so a
// front end draws the cells it is told and a test can ask where a control sits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/window/control_type.h"

namespace vx {

enum class Arrangement { FormRows, Row, Grid, Beside, Stacked, Free };

struct Layout {
  Arrangement arrangement = Arrangement::FormRows;
  int columns = 0;  // Grid only: how many columns

  std::string Text() const;  // as the Layout property writes it
  // The layout a Layout property names; an empty or unknown text is form rows.
  static Layout Parse(std::string_view text);
};

// Where a control sits in its container: row and column from 1.
struct LayoutCell {
  int row = 0;
  int column = 0;
};

// Places a container's controls one after another in the order they are made.
class LayoutCursor {
 public:
  explicit LayoutCursor(Layout layout = {}) : layout_(layout) {}
  const Layout& layout() const { return layout_; }
  LayoutCell Place(ControlType type);

 private:
  Layout layout_;
  int placed_ = 0;            // controls placed so far
  int row_ = 0;               // form rows: the row last used (from 1; 0 none yet)
  bool prompt_open_ = false;  // form rows: that row holds a prompt waiting for its field
  int buttons_in_row_ = 0;    // form rows: buttons so far in that row, when it is a button row
};

// Whether controls of this kind are placed in their container at all (bars, menus and their
// items, and a sheet's tabs are not: the frame or the sheet holds them).
bool TakesCell(ControlType type);
// Whether controls of this kind hold other controls laid out by a Layout.
bool ArrangesChildren(ControlType type);
// Whether a control of this kind stands beside the prompt before it, in form rows.
bool IsFormField(ControlType type);

}  // namespace vx
