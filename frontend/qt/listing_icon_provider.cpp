#include "frontend/qt/listing_icon_provider.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QMimeType>

namespace vx::qt {
namespace {

// The type the name suggests (its extension), without looking inside the file.
QMimeType TypeByName(const QFileInfo& info) {
  return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

}  // namespace

QIcon ListingIconProvider::icon(const QFileInfo& info) const {
  if (info.isDir()) return icon(Folder);
  const QMimeType type = TypeByName(info);
  const QIcon themed = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
  return themed.isNull() ? icon(File) : themed;
}

QString ListingIconProvider::type(const QFileInfo& info) const {
  if (info.isDir()) return QStringLiteral("Folder");
  const QMimeType type = TypeByName(info);
  return type.isDefault() ? QStringLiteral("File") : type.comment();
}

ListingIconProvider& DialogIconProvider() {
  static ListingIconProvider provider;
  return provider;
}

}  // namespace vx::qt
