#include "frontend/qt/named_icons.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>
#include <string>

namespace vx::qt {
namespace {

// "~Done.ICO", "done_ico" and "done.ico" all name the picture "done".
std::string BaseName(std::string_view name) {
  std::string base;
  for (char c : name) base += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  while (!base.empty() && (base.front() == '~' || base.front() == '!')) base.erase(base.begin());
  for (std::string_view ext : {".ico", "_ico", ".bmp", "_bmp", ".png", "_png", ".gif", "_gif"}) {
    if (base.size() > ext.size() && base.ends_with(ext)) {
      base.resize(base.size() - ext.size());
      break;
    }
  }
  return base;
}

// A 32-pixel picture on a clear ground, painted by `paint`.
template <class Paint>
QIcon Drawn(Paint paint) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
  }
  return QIcon(pixmap);
}

// The scheduler's own mark: a clock face.
QIcon DrawClock(QColor face) {
  return Drawn([&](QPainter& p) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(face);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.drawLine(QPointF(16, 16), QPointF(16, 7));
    p.drawLine(QPointF(16, 16), QPointF(23, 19));
  });
}

QIcon DrawKey(QColor colour) {
  return Drawn([&](QPainter& p) {
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(colour);
    p.drawEllipse(QRectF(2, 9, 14, 14));
    p.drawRect(QRectF(15, 14, 15, 4));
    p.drawRect(QRectF(24, 18, 3, 5));
  });
}

QIcon DrawTick() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(QColor(0, 150, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    path.moveTo(5, 17);
    path.lineTo(13, 25);
    path.lineTo(27, 7);
    p.drawPath(path);
  });
}

QIcon DrawSkip() {
  return Drawn([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 160, 0));
    p.drawPolygon(QPolygonF({QPointF(4, 6), QPointF(16, 16), QPointF(4, 26)}));
    p.drawPolygon(QPolygonF({QPointF(15, 6), QPointF(27, 16), QPointF(15, 26)}));
  });
}

QIcon DrawWindow() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 6, 24, 20));
    p.fillRect(QRectF(4, 6, 24, 5), QColor(40, 80, 200));
  });
}

// Any other name: its first letter on a square coloured after the name.
QIcon DrawLettered(const std::string& base) {
  return Drawn([&](QPainter& p) {
    const unsigned hash = static_cast<unsigned>(std::hash<std::string>()(base));
    p.fillRect(QRectF(2, 2, 28, 28), QColor::fromHsv(static_cast<int>(hash % 360), 150, 200));
    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, base.empty() ? QString("?") : QString(QChar(base[0])).toUpper());
  });
}

QIcon Make(std::string_view name) {
  const QString file = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (!file.isEmpty() && QFileInfo(file).isFile()) {
    QIcon icon(file);
    if (!icon.isNull()) return icon;
  }
  const std::string base = BaseName(name);
  if (base == "tray" || base == "vx" || base == "clock") return DrawClock(QColor(120, 170, 255));
  if (base == "idle") return DrawClock(QColor(200, 200, 200));
  if (base == "busykey" || base == "key") return DrawKey(QColor(230, 90, 40));
  if (base == "done") return DrawTick();
  if (base == "skip") return DrawSkip();
  if (base == "blank") {
    // An empty picture: lists and the toolbar use it to show "nothing here".
    QPixmap empty(32, 32);
    empty.fill(Qt::transparent);
    return QIcon(empty);
  }
  static const std::map<std::string, const char*> theme = {
      {"restore", "view-restore"}, {"exit", "application-exit"}, {"delete", "edit-delete"},
      {"new", "document-new"},     {"open", "document-open"},    {"save", "document-save"},
      {"print", "document-print"}, {"find", "edit-find"},        {"help", "help-browser"},
      {"copy", "edit-copy"},       {"paste", "edit-paste"},      {"cut", "edit-cut"},
      {"run", "system-run"},       {"stop", "process-stop"},     {"mail", "mail-message-new"}};
  auto it = theme.find(base);
  if (it != theme.end()) {
    QIcon icon = QIcon::fromTheme(it->second);
    if (!icon.isNull()) return icon;
  }
  if (base == "restore") return DrawWindow();
  QIcon icon = QIcon::fromTheme(QString::fromStdString(base));
  if (!icon.isNull()) return icon;
  return DrawLettered(base);
}

// Pictures are kept while the application lives; the cache empties as it ends, before the
// pixmaps' owner goes.
std::map<std::string, QIcon, std::less<>>& Cache() {
  static std::map<std::string, QIcon, std::less<>> cache;
  return cache;
}

void ClearCache() { Cache().clear(); }

}  // namespace

QIcon NamedIcon(std::string_view name) {
  auto& cache = Cache();
  if (cache.empty()) qAddPostRoutine(ClearCache);
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  QIcon icon = Make(name);
  cache.emplace(std::string(name), icon);
  return icon;
}

}  // namespace vx::qt
