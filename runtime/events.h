// Event numbers, key codes and message-box answers with the values the window procedures use.
//
// Field events (below 256) concern one control; window events (256 .. 1023) the window; from
// 1024 on the numbers are free for the program's own events, which the program names itself
// in the places that post them.
#pragma once

namespace vx {

// Field events.
inline constexpr int EVENT_Accepted = 1;
inline constexpr int EVENT_NewSelection = 2;
inline constexpr int EVENT_ScrollUp = 3;
inline constexpr int EVENT_ScrollDown = 4;
inline constexpr int EVENT_PageUp = 5;
inline constexpr int EVENT_PageDown = 6;
inline constexpr int EVENT_ScrollTop = 7;
inline constexpr int EVENT_ScrollBottom = 8;
inline constexpr int EVENT_Locate = 9;
inline constexpr int EVENT_MouseDown = 10;
inline constexpr int EVENT_MouseUp = 11;
// Dragging (drag_and_drop.h): a control with a drag identifier was pressed and the mouse began to
// move (EVENT_Dragging on it), the mouse moved on while the button is held (EVENT_MouseMove on
// it), and the button was let go (EVENT_Drag on it). Each carries the mouse as text "x y" in
// dialog units from the window's inside, which the window keeps in its MouseX and MouseY. A
// front end reports the drag's end as EVENT_Drag with the control under the mouse as the
// choice; the window answers it with the identifier that control accepts (the event's text, ""
// when it accepts none) and, when there is one, gives that control EVENT_Drop.
inline constexpr int EVENT_Dragging = 12;
inline constexpr int EVENT_MouseMove = 13;
inline constexpr int EVENT_Drag = 18;
inline constexpr int EVENT_Drop = 19;
// A tree list's row (the choice, from 1) was opened or closed by the user.
inline constexpr int EVENT_Expanded = 20;
inline constexpr int EVENT_Contracted = 21;
inline constexpr int EVENT_AlertKey = 16;
inline constexpr int EVENT_PreAlertKey = 17;
inline constexpr int EVENT_TabChanging = 22;
inline constexpr int EVENT_HeaderPressed =
    25;  // a list's column header clicked; the column is the choice
inline constexpr int EVENT_Rejected = 27;
inline constexpr int EVENT_DroppingDown = 28;
inline constexpr int EVENT_DroppedDown = 29;
// The user dragged a list column's border: text "column width", the width in dialog units. The
// window sets the list format's width of that column before the program sees the event.
inline constexpr int EVENT_ColumnResize = 30;
// The rows a list shows changed (it was scrolled or sized): text "first rows", the first row in
// view (from 1) and how many rows the list has room for. The window keeps them in the list's
// TopRow and Items properties before the program sees the event.
inline constexpr int EVENT_ListScrolled = 31;

// Window events.
inline constexpr int EVENT_Selected = 257;
inline constexpr int EVENT_CloseWindow = 513;
inline constexpr int EVENT_CloseDown = 514;
inline constexpr int EVENT_OpenWindow = 515;
inline constexpr int EVENT_OpenFailed = 516;
inline constexpr int EVENT_LoseFocus = 517;
inline constexpr int EVENT_GainFocus = 518;  // also "come to the front", posted by a second start
inline constexpr int EVENT_Suspend = 520;
inline constexpr int EVENT_Resume = 521;
inline constexpr int EVENT_Timer = 523;
inline constexpr int EVENT_Move = 544;
inline constexpr int EVENT_Size = 545;
inline constexpr int EVENT_Restore = 546;
inline constexpr int EVENT_Maximize = 547;
inline constexpr int EVENT_Iconize = 548;
inline constexpr int EVENT_Completed = 549;
inline constexpr int EVENT_Moved = 560;
inline constexpr int EVENT_Sized = 561;
inline constexpr int EVENT_Restored = 562;
inline constexpr int EVENT_Maximized = 563;
inline constexpr int EVENT_Iconized = 564;

// First number of the program's own events.
inline constexpr int EVENT_User = 1024;

// The mouse on a list, as the front ends report it to the list's window (the list extension
// takes them). Each carries where it happened as text "row column zone": row 0 is the header,
// column from 1 (0 outside every column), zone one of ListZone_... below; the window keeps it in
// the list's MouseDown.../MouseUp... properties. A front end reports presses and releases on
// the header (a press on a row is the list's own), a drag of a header once it has begun, and
// right clicks on the header; a double click on a column border comes as EVENT_AlertKey with
// MouseLeft2 and its position.
inline constexpr int EVENT_ListLeftDown = 1025;
inline constexpr int EVENT_ListLeftUp = 1026;
inline constexpr int EVENT_ListDragBegun = 1028;
inline constexpr int EVENT_ListRightDown = 1029;
inline constexpr int EVENT_ListRightUp = 1030;
// Posted by the list extension to its own window: a header sort was set (the window resets),
// a header was dropped left or right of its column (the column moves one place).
inline constexpr int EVENT_ListSorted = 1031;
inline constexpr int EVENT_ListMoveLeft = 1034;
inline constexpr int EVENT_ListMoveRight = 1035;

inline constexpr int ListZone_Cell = 0;         // on a column (its header or a cell)
inline constexpr int ListZone_RightBorder = 1;  // on a column's right border
inline constexpr int ListZone_ExpandBox = 3;    // on a tree row's open/close marker
inline constexpr int ListZone_Outside = 6;      // right of the last column

// The program's own events that more than one window knows.
inline constexpr int EVENT_TrayCallback = 1088;  // raw tray message, turned into the four below
inline constexpr int EVENT_TrayLeftClick = 1089;
inline constexpr int EVENT_TrayRightClick = 1090;   // on Main's thread
inline constexpr int EVENT_RefreshSchedule = 1090;  // on a task list's thread
inline constexpr int EVENT_TrayLeftDoubleClick = 1091;
inline constexpr int EVENT_TrayRightDoubleClick = 1092;
inline constexpr int EVENT_TrayRecreate = 1093;
inline constexpr int EVENT_ReloadHotKeys = 1097;
inline constexpr int EVENT_StopScripts = 1103;
inline constexpr int EVENT_HotKeyPressed = 1810;
inline constexpr int EVENT_QueryEndSession = 1041;
inline constexpr int EVENT_EndSession = 1046;
inline constexpr int EVENT_OleEventQueued = 3826;

// Key codes seen by KEYCODE().
inline constexpr int MouseLeft = 1;
inline constexpr int MouseRight = 2;
inline constexpr int MouseLeft2 = 5;  // double click
inline constexpr int EnterKey = 13;
inline constexpr int EscKey = 27;
inline constexpr int ShiftEnter = 269;
inline constexpr int CtrlAltEnter = 0x60D;
inline constexpr int PrintScreenKey = 44;
inline constexpr int AltPrintScreen = 0x42C;

}  // namespace vx
