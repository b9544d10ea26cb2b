// Where a Qt window stands on the screen. A window opens no larger than the screen's free area
// (less the room the window manager's frame takes), at the place the model gives it or else
// centred over the window that opened it, and always wholly on the screen, frame included. A
// place the model gives later is kept within the screen too. Places are those of the window's
// inside (what Qt calls its geometry), because the frame's size is known only once a window
// manager has framed it. A place goes back to the model as "x y width height".
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <map>
#include <string>

#include "runtime/window/front_end.h"

class QWidget;

namespace vx::qt {

// The place the model gives a window (its X, Y, Width and Height); no place while the width or
// the height is 0.
struct ModelPlace {
  long x = 0, y = 0, width = 0, height = 0;
  bool Given() const { return width > 0 && height > 0; }
};
ModelPlace PlaceOf(std::map<Prop, std::string>& props);

// The most a window's inside may take of a screen whose free area is `free`.
QSize RoomOn(const QRect& free);

// Where a window that wants `wanted` opens: at `place` if given, else centred on `centre`;
// fitted to `free` either way.
QRect OpeningPlace(const QSize& wanted, const ModelPlace& place, const QPoint& centre,
                   const QRect& free);

// `place` made no larger than `free` allows (its corner stays where the model put it).
QRect WithinScreen(const QRect& place, const QRect& free);

// The width a window's title needs in the title bar: the title in bold type of the window's
// font, beside the bar's picture and buttons (the window manager draws them, so their room is
// reckoned in lines of that type).
int TitleRoom(const QWidget& window, const QString& title);

// A place as the model reads it back: "x y width height".
std::string PlaceText(const QRect& place);

}  // namespace vx::qt
