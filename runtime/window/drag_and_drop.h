// Dragging one control onto another: identifiers on both ends decide whether a drop is taken.
//
// A control that may be dragged carries its identifiers in DragId, one that takes drops its own
// in DropId ("|" between several). The front end reports the user's drag as events on the
// dragged control (EVENT_Dragging when the mouse begins to move with the button held,
// EVENT_MouseMove while it goes on, EVENT_Drag when the button is let go over a control, the
// choice), each with the mouse as "x y" in dialog units from the window's inside, which the
// window keeps in MouseX and MouseY. Before the program sees EVENT_Drag the window matches the
// two ends: the event's text becomes the first identifier of the dragged control that the control
// under the mouse accepts ("" none), and when there is one that control gets EVENT_Drop with the
// identifier as its text and the dragged control as its choice. So every front end needs only to
// say where the drag ended, and the identifiers work alike in all of them.
#pragma once

#include <string>
#include <string_view>

namespace vx {

class Control;

// The first of the dragged control's identifiers that the target accepts; "" when none (or
// either is missing).
std::string AcceptedIdentifier(const Control* dragged, const Control* target);
// Whether `control` carries `id` among its drag (drop = false) or drop identifiers.
bool CarriesIdentifier(const Control& control, std::string_view id, bool drop);

// For the EVENT_Drag or EVENT_Drop the calling thread's window took last: the identifier that
// was matched ("" none), and the control at the other end (the target of a drag, the source of
// a drop; 0 none).
std::string DRAGID();
int DROPPEDON();

}  // namespace vx
