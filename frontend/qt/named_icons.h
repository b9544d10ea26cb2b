// Pictures for the icon names the program uses ("tray_ico", "~done.ico", "restore.ico" ...):
// an existing image file, a few pictures drawn here, or the desktop's icon theme.
#pragma once

#include <QIcon>
#include <string_view>

namespace vx::qt {

// The picture for an icon name; never null (an unknown name gets a lettered square).
QIcon NamedIcon(std::string_view name);

}  // namespace vx::qt
