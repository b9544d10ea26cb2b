#include "frontend/qt/list_header_mouse.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

#include "runtime/events.h"

namespace vx::qt {
namespace {

constexpr int kBorderPixels = 4;  // how near a column's right edge counts as its border

}  // namespace

ListHeaderMouse::ListHeaderMouse(QHeaderView* header, PostFn post)
    : QObject(header), header_(header), viewport_(header->viewport()), post_(std::move(post)) {
  viewport_->installEventFilter(this);
  // A right click on the header is the list extension's, never the list's own popup.
  header_->setContextMenuPolicy(Qt::PreventContextMenu);
}

std::string ListHeaderMouse::Place(const QPoint& pos) const {
  const int row = pos.y() >= 0 && pos.y() < header_->height() ? 0 : 1;
  const int section = header_->logicalIndexAt(pos.x());
  if (section < 0) return std::to_string(row) + " 0 " + std::to_string(ListZone_Outside);
  const int left = header_->sectionViewportPosition(section);
  const int right = left + header_->sectionSize(section);
  int column = section + 1;
  int zone = ListZone_Cell;
  if (right - pos.x() <= kBorderPixels) {
    zone = ListZone_RightBorder;
  } else if (pos.x() - left < kBorderPixels && section > 0) {
    zone = ListZone_RightBorder;  // the left edge is the border of the column before
    column = section;
  }
  return std::to_string(row) + " " + std::to_string(column) + " " + std::to_string(zone);
}

bool ListHeaderMouse::eventFilter(QObject* watched, QEvent* event) {
  // Only the mouse: while the header is taken down its viewport still sees other events.
  if (watched != viewport_) return false;
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
    return false;
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint pos = mouse->position().toPoint();
      const std::string place = Place(pos);
      const bool border = place.back() == '0' + ListZone_RightBorder;
      if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton &&
          border) {
        post_(EVENT_AlertKey, place, MouseLeft2);  // fit the column to its widest value
        break;
      }
      // A quick second click on a header is a click of its own (it reverses the sort).
      if (mouse->button() == Qt::LeftButton) {
        pressed_ = true;
        dragging_ = false;
        press_x_ = pos.x();
        resizing_ = border ? std::atoi(place.c_str() + 2) : 0;
        post_(EVENT_ListLeftDown, place, MouseLeft);
      } else if (mouse->button() == Qt::RightButton) {
        post_(EVENT_ListRightDown, place, MouseRight);
      }
      break;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint pos = mouse->position().toPoint();
      if (pressed_ && !resizing_ && !dragging_ &&
          std::abs(pos.x() - press_x_) > header_->height() / 2) {
        dragging_ = true;
        post_(EVENT_ListDragBegun, Place(pos), MouseLeft);
      }
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint pos = mouse->position().toPoint();
      if (mouse->button() == Qt::LeftButton && pressed_) {
        post_(EVENT_ListLeftUp, Place(pos), MouseLeft);
        if (resizing_ > 0) {
          // The new width in dialog units (a quarter of the font's average letter).
          const int pixels = header_->sectionSize(resizing_ - 1);
          const int letter = std::max(1, header_->fontMetrics().averageCharWidth());
          post_(EVENT_ColumnResize,
                std::to_string(resizing_) + " " + std::to_string(pixels * 4 / letter), 0);
        }
        pressed_ = false;
        dragging_ = false;
        resizing_ = 0;
      } else if (mouse->button() == Qt::RightButton) {
        post_(EVENT_ListRightUp, Place(pos), MouseRight);
      }
      break;
    }
    default:
      break;
  }
  return false;  // the header goes on with its own handling (resizing, the pressed look)
}

}  // namespace vx::qt
