// List column widths on screen: a list format gives each column's width in dialog units (a
// quarter of the average character width of the font), which become pixels of the font the
// list really uses, widened where needed so that the column shows what it was designed for.
#pragma once

#include <QFontMetrics>
#include <string>

#include "runtime/window/list_format.h"

namespace vx::qt {

// The average character width dialog units are measured in: the mean advance of the letters
// A-Z and a-z, rounded up (a font's own average often counts narrow glyphs and comes out small).
double DialogCharWidth(const QFontMetrics& metrics);

// Pixels an entry needs to show a value under `picture` whole: the widest date, time or number
// it can show, or a text picture's characters (at most `most_chars` of them).
int PictureWidth(const std::string& picture, const QFontMetrics& metrics, int most_chars);

// Pixels for a column: its format width converted, but never narrower than its header or than
// the widest text its date, time or number picture can produce, plus the cell's margins.
int ColumnPixels(const ListColumn& column, const QFontMetrics& metrics);

}  // namespace vx::qt
