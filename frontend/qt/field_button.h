// A button the model made inside a field (an entry, a check box, a drop list: a control that
// holds no layout of its own), such as the match-type button of a search form's entry. It stands
// just before its field in the field's own cell, so the form around keeps its rows and columns.
#pragma once

#include "frontend/qt/window_layout.h"

class QWidget;

namespace vx::qt {

// Puts `button` before `field`, which `c` holds: the two share a holder in the field's place.
// False when `c` does not hold the field in a layout (a free area), and nothing was moved.
bool PlaceBeforeField(Container& c, QWidget* field, QWidget* button);

}  // namespace vx::qt
