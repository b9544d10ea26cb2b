// Placing a window's controls: each container of the model (the window's own form, a group, an
// option, a panel or region, a tab's page) holds a Qt layout made from the model's layout (form
// rows, a grid, a row, panes side by side or stacked), and each control goes into it at the cell
// the model gives, or below the others where it gives none. In form rows a prompt stands in the
// first column, a field in the second, buttons gather at the right of their row; controls that
// grow (lists, texts, graphs) take the spare height, and without one the rows keep together at
// the top. A row gathers its buttons to the right and its other controls to the left unless one
// of them takes the spare width. Placing only arranges widgets: it makes none and posts nothing.
#pragma once

#include <map>

#include "runtime/window/front_end.h"
#include "runtime/window/layout.h"

class QBoxLayout;
class QGridLayout;
class QHBoxLayout;
class QSpacerItem;
class QWidget;

namespace vx::qt {

struct Container {
  Layout layout;
  QWidget* holder = nullptr;                // free areas: the widget the controls stand on
  QGridLayout* grid = nullptr;              // form rows and grids
  QBoxLayout* box = nullptr;                // rows and panes
  std::map<int, QHBoxLayout*> button_rows;  // form rows: the buttons of a row, right-aligned
  int next_row = 0;  // a control the model did not place goes below the others
  // Form rows and grids without a growing control keep their rows together at the top: the
  // spare height goes to a filler below the last row.
  QSpacerItem* filler = nullptr;
  bool rows_grow = false;
  // A group or option box is as high as its rows (no filler), so it does not take spare height
  // from the page around it unless it holds a growing control.
  bool fills = true;
  // A row keeps its controls together: buttons to the right, other controls to the left,
  // unless one of them (an entry, a list) takes the spare width.
  QSpacerItem* lead = nullptr;
  QSpacerItem* trail = nullptr;
  bool row_grows = false;
  bool row_only_buttons = true;
};

// Controls that grow with the window: in form rows they take the spare height. A sheet grows
// only once one of its pages holds such a control (LetGrow), so a row of tabs that only chooses
// what a list below it shows stays as high as its tabs.
bool Stretches(ControlType type);

// Gives `holder` the Qt layout of `layout` and keeps it in `c`. `nested`: the container stands
// inside another (anything but the window's own form), so it needs no second margin.
void SetUpContainer(Container& c, QWidget* holder, const Layout& layout, bool nested);

// Puts `widget`, a control of `type`, into `c` at `cell` (row and column from 1; 0 where the
// model did not place it).
void Place(Container& c, ControlType type, QWidget* widget, LayoutCell cell);

// Lets `widget`, placed in `c`, take the spare height (a sheet whose page holds a growing
// control).
void LetGrow(Container& c, QWidget* widget);

}  // namespace vx::qt
