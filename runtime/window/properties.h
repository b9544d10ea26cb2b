// Names of the properties of windows and controls, read and written by number or by name.
#pragma once

#include <optional>
#include <string_view>

namespace vx {

enum class Prop : int {
  Text = 1,  // title, caption, prompt, tab or item text; image file
  Value,     // what the control shows: entry text, check 1/0, chosen radio's value ...
  Picture,   // display picture of an entry, spin or string
  Hide,      // "1" hidden
  Disable,   // "1" greyed
  ReadOnly,
  Required,
  Default,  // the window's default button
  Cancel,   // the window's cancel button
  Icon,
  Tip,
  Key,       // accelerator of a menu item or button, as "Ctrl+S"
  Selected,  // chosen list row, drop-list item or tab (1-based; 0 none)
  Timer,     // window timer in hundredths of a second; 0 none
  Topmost,
  Iconize,
  Maximize,
  Frame,  // "1" on the application frame
  X,
  Y,
  Width,
  Height,
  MinWidth,
  MinHeight,
  Format,    // list format string
  From,      // drop-list and combo items, "|" between them
  IconList,  // list icons by index, "|" between file names
  Color,
  FontColor,
  TrueValue,  // check
  FalseValue,
  RangeLow,  // spin, progress
  RangeHigh,
  Step,
  Focus,      // window: control number with the focus
  Wizard,     // sheet: tabs paged by buttons, headers not shown
  FontStyle,  // weight and style bits, as 400 normal, 700 bold
  Alert,      // key codes reported as EVENT_AlertKey, "|" between them
  Password,   // entry: "1" shows its text as bullets
  Msg,        // the status-bar text shown while the control has the focus
  FontName,   // typeface, as "Courier New"; a front end without it takes the nearest of its kind
  Layout,  // container: how it arranges its controls ("form", "row", "grid 7", "beside", "stacked")
  Row,     // where the container's layout put the control: its row and column (from 1), set by
  Column,  //   the model as the control is made; 0 when the control is not laid out (bars, menus)
  MouseDownRow,    // lists: where the last press (or double click) was: row (0 the header), column
  MouseDownField,  //   from 1 (0 outside the columns) and zone (ListZone_...), as the front end
  MouseDownZone,   //   reported it with the event
  MouseUpRow,      // lists: where the last release was, the same way
  MouseUpField,
  MouseUpZone,
  FontSize,        // points; 0 or none: the front end's own size
  LineHeight,      // lists: height of a row in dialog units; 0 or none: fitted to the font
  VScroll,         // lists: "0" shows no vertical scroll bar; none or "1" one when the rows need it
  HScroll,         // lists: the same for the horizontal scroll bar
  Cursor,          // window: mouse pointer over it, "" normal, "Wait" or "Cross" (see CursorScope)
  Zoom,            // page image: percent of the paper's real size; 0 or none: the whole page fits
  TopRow,          // lists: the first row in view (from 1), as the front end last reported it
  Items,           //   and how many rows the list has room for (none: not reported)
  DragId,          // identifiers a drag of this control carries, "|" between them (drag_and_drop.h)
  DropId,          // identifiers this control accepts when something is dropped on it
  EditList,        // a control standing over a cell: the list (its number), the column (from 1);
  EditColumn,      //   the row is the list's chosen one. 0 or none: an ordinary control
  SelectedColumn,  // lists: 0 the whole row is chosen; n column selection, column n highlighted
  MouseX,          // window: where the mouse was at the last mouse or drag event, in dialog
  MouseY,          //   units from the window's inside
  // The selection. Rich edit: from character SelStart up to SelEnd (0 based, SelEnd not in it).
  // Entries: the caret (from 1) and, when SelEnd is not below it, the selection from SelStart to
  // SelEnd (characters, both included).
  SelStart,
  SelEnd,
  Immediate,  // entries: "1" reports every keystroke as EVENT_NewSelection (text, caret, key)
  Flat,       // buttons: "1" drawn flat, without a raised frame (a toolbar's look)
  // Sheets: "1" the tabs stay in one row that scrolls (buttons at its end) instead of making the
  // sheet as wide as they are; "0" every tab is shown whole; none: the front end's own way.
  ScrollTabs,
  Count_  // not a property: one past the last
};

std::string_view PropName(Prop prop);
std::optional<Prop> PropByName(std::string_view name);  // case-insensitive

}  // namespace vx
