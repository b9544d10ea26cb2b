// Pictures and type names for the entries of file and folder dialogs, found from each entry's
// kind and name alone.
//
// Qt's own provider tells a file's type by reading its first bytes when its name does not settle
// it, and the dialog asks for every entry of the folder it shows, folders-only dialogs included.
// Reading a special file can block for ever (as root, /proc/kmsg waits for kernel messages) or
// have effects; so a dialog never opens the files it lists.
#pragma once

#include <QFileIconProvider>

namespace vx::qt {

class ListingIconProvider final : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;  // by kind: the style's pictures
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;
};

// The one provider every dialog of the front end uses (it keeps no state).
ListingIconProvider& DialogIconProvider();

}  // namespace vx::qt
