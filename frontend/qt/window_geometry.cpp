#include "frontend/qt/window_geometry.h"

#include <QFont>
#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

#include "frontend/qt/prop_text.h"

namespace vx::qt {
namespace {

// Room the window manager's frame takes around a window (title bar and borders), kept free
// when a window is fitted to the screen.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;
constexpr int kTitleHeight = 32;

}  // namespace

int TitleRoom(const QWidget& window, const QString& title) {
  if (title.isEmpty()) return 0;
  QFont bold = window.font();
  bold.setBold(true);
  const QFontMetrics title_font(bold);
  return title_font.horizontalAdvance(title) + 9 * title_font.height();
}

ModelPlace PlaceOf(std::map<Prop, std::string>& props) {
  return {Number(props[Prop::X]), Number(props[Prop::Y]), Number(props[Prop::Width]),
          Number(props[Prop::Height])};
}

QSize RoomOn(const QRect& free) {
  return QSize(std::max(1, free.width() - kFrameWidth), std::max(1, free.height() - kFrameHeight));
}

QRect OpeningPlace(const QSize& wanted, const ModelPlace& place, const QPoint& centre,
                   const QRect& free) {
  const QSize room = RoomOn(free);
  QSize size = wanted.boundedTo(room);
  if (place.Given())
    size = QSize(static_cast<int>(place.width), static_cast<int>(place.height)).boundedTo(room);
  QPoint at;
  if (place.Given()) {
    at = QPoint(static_cast<int>(place.x), static_cast<int>(place.y));
  } else {
    at = centre - QPoint(size.width() / 2, size.height() / 2);
  }
  // Kept wholly on the screen, frame included.
  const int left = free.left() + kFrameWidth / 2, top = free.top() + kTitleHeight;
  at.setX(
      std::clamp(at.x(), left, std::max(left, free.right() + 1 - size.width() - kFrameWidth / 2)));
  at.setY(
      std::clamp(at.y(), top,
                 std::max(top, free.bottom() + 1 - size.height() - (kFrameHeight - kTitleHeight))));
  return QRect(at, size);
}

QRect WithinScreen(const QRect& place, const QRect& free) {
  return QRect(place.topLeft(), place.size().boundedTo(QSize(free.width() - kFrameWidth,
                                                             free.height() - kFrameHeight)));
}

std::string PlaceText(const QRect& place) {
  return std::to_string(place.x()) + " " + std::to_string(place.y()) + " " +
         std::to_string(place.width()) + " " + std::to_string(place.height());
}

}  // namespace vx::qt
