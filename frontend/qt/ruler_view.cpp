#include "frontend/qt/ruler_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace vx::qt {
namespace {

constexpr long kTwipsPerInch = 1440;
// The scale starts a few pixels in, where the editor's text starts inside its frame.
constexpr int kInset = 4;

}  // namespace

RulerView::RulerView(QWidget* parent, std::function<void(long twips)> clicked)
    : QWidget(parent), clicked_(std::move(clicked)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setToolTip(tr("Click to set or clear a tab stop"));
}

void RulerView::SetStops(const QString& stops) {
  stops_.clear();
  for (const QString& part : stops.split('|', Qt::SkipEmptyParts)) {
    bool ok = false;
    const long twips = part.trimmed().toLong(&ok);
    if (ok && twips > 0) stops_.push_back(twips);
  }
  update();
}

QSize RulerView::sizeHint() const { return {400, fontMetrics().height() + 14}; }

QSize RulerView::minimumSizeHint() const { return {40, sizeHint().height()}; }

long RulerView::TwipsAt(int x) const {
  const int dpi = std::max(1, logicalDpiX());
  return std::max(0L, static_cast<long>(x - kInset) * kTwipsPerInch / dpi);
}

int RulerView::XOf(long twips) const {
  return kInset + static_cast<int>(twips * logicalDpiX() / kTwipsPerInch);
}

void RulerView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, palette().base());
  p.setPen(palette().mid().color());
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.setPen(palette().text().color());
  const int base = r.bottom() - 1;
  // Marks every eighth of an inch: the inch long and numbered, the half middling.
  for (long eighth = 1;; ++eighth) {
    const int x = XOf(eighth * kTwipsPerInch / 8);
    if (x > r.right()) break;
    const bool inch = eighth % 8 == 0, half = eighth % 4 == 0;
    const int length = inch ? 7 : half ? 5 : 2;
    p.drawLine(x, base, x, base - length);
    if (inch) {
      const QString number = QString::number(eighth / 8);
      const int w = fontMetrics().horizontalAdvance(number);
      p.drawText(x - w / 2, base - 8, number);
    }
  }
  // Each tab stop: a small dark triangle standing on the scale.
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(palette().windowText());
  for (long twips : stops_) {
    const int x = XOf(twips);
    p.drawPolygon(QPolygon({QPoint(x, base - 6), QPoint(x - 4, base), QPoint(x + 4, base)}));
  }
}

void RulerView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (clicked_) clicked_(TwipsAt(static_cast<int>(event->position().x())));
}

}  // namespace vx::qt
