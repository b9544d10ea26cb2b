// Pictures for the icon names the program uses ("tray_ico", "~done.ico", "EXIT.ICO" ...): the
// desktop theme's icon of the fitting freedesktop name, else the program's own copy of the
// picture, compiled in from resources/icons/ so the program looks the same without that theme.
#pragma once

#include <QIcon>
#include <string_view>

#include "runtime/message_box.h"

namespace vx::qt {

// What an icon name shows: a freedesktop icon name (empty where no theme name fits, as for the
// program's own mark and its animation frames) and the file stem of the program's own picture.
struct IconPicture {
  std::string_view theme;
  std::string_view file;
};

// The picture behind an icon name ("~Done.ICO", "done_ico" and "done.ico" are one name), or
// nullptr for a name the program does not use.
const IconPicture* FindIconPicture(std::string_view name);

// The program's own picture for an icon name, never the theme's; null for an unknown name.
QIcon FallbackIcon(std::string_view name);

// The picture for an icon name or an image file's path. An unknown name gives a null icon (a
// control then shows its text alone) and a warning naming it.
QIcon NamedIcon(std::string_view name);

// The program's mark: the idle tray picture, also every window's icon unless it names its own.
QIcon ProgramIcon();

// The picture of a message box of this kind; null for none.
QIcon MessageBoxIcon(MessageIcon icon);

}  // namespace vx::qt
