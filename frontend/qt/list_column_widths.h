// List column widths on screen: a list format gives each column's width in dialog units (a
// quarter of the average character width of the font), which become pixels of the font the
// list really uses, widened where needed so that the column shows what it was designed for.
#pragma once

#include <QFontMetrics>

#include "runtime/window/list_format.h"

namespace vx::qt {

// The average character width dialog units are measured in: the mean advance of the letters
// A-Z and a-z, rounded up (a font's own average often counts narrow glyphs and comes out small).
double DialogCharWidth(const QFontMetrics& metrics);

// Pixels for a column: its format width converted, but never narrower than its header or than
// the widest text its date, time or number picture can produce, plus the cell's margins.
int ColumnPixels(const ListColumn& column, const QFontMetrics& metrics);

}  // namespace vx::qt
