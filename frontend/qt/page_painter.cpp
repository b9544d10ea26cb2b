#include "frontend/qt/page_painter.h"

#include <QFontMetricsF>
#include <QPen>
#include <cmath>

namespace vx::qt {

QFont ReportQFont(const report::ReportFont& font) {
  QFont out(QString::fromStdString(font.face));
  out.setPixelSize(
      std::max(1, static_cast<int>(std::lround(font.size * report::kUnitsPerInch / 72.0))));
  out.setBold(font.bold);
  out.setItalic(font.italic);
  out.setUnderline(font.underline);
  // Metrics measured at one size hold at every scale: no hinting to the device's pixels.
  out.setHintingPreference(QFont::PreferNoHinting);
  out.setStyleStrategy(QFont::ForceOutline);
  return out;
}

void PaintPageImage(QPainter& painter, const report::PageImage& page) {
  painter.save();
  QPen pen(Qt::black);
  pen.setWidthF(10);  // a hundredth of an inch
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (const report::PageItem& item : page.items) {
    switch (item.kind) {
      case report::PageItem::Kind::Text: {
        painter.setFont(ReportQFont(item.font));
        const int align = (item.align == report::Align::Right    ? Qt::AlignRight
                           : item.align == report::Align::Center ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft) |
                          Qt::AlignTop | Qt::TextSingleLine;
        const QRectF box(item.x, item.y, std::max(item.width, 1L), std::max(item.height, 1L));
        painter.drawText(box, align | Qt::TextDontClip, QString::fromStdString(item.text));
        break;
      }
      case report::PageItem::Kind::Line:
        painter.drawLine(QPointF(item.x, item.y),
                         QPointF(item.x + item.width, item.y + item.height));
        break;
      case report::PageItem::Kind::Box:
        painter.drawRect(QRectF(item.x, item.y, item.width, item.height));
        break;
      case report::PageItem::Kind::Check: {
        const double side = item.height;
        const QRectF box(item.x, item.y + side / 8, side, side);
        painter.drawRect(box);
        if (item.checked) {
          painter.drawLine(box.topLeft() + QPointF(side / 5, side / 2),
                           box.topLeft() + QPointF(side / 2.5, side * 0.8));
          painter.drawLine(box.topLeft() + QPointF(side / 2.5, side * 0.8),
                           box.topLeft() + QPointF(side * 0.8, side / 5));
        }
        painter.setFont(ReportQFont(item.font));
        painter.drawText(QPointF(item.x + side * 1.4, item.y + side),
                         QString::fromStdString(item.text));
        break;
      }
    }
  }
  painter.restore();
}

long QtTextMeasure::Width(const report::ReportFont& font, std::string_view text) const {
  std::lock_guard l(mutex_);
  const QFontMetricsF metrics(ReportQFont(font));
  return std::lround(metrics.horizontalAdvance(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))));
}

long QtTextMeasure::LineHeight(const report::ReportFont& font) const {
  std::lock_guard l(mutex_);
  return std::lround(QFontMetricsF(ReportQFont(font)).lineSpacing());
}

}  // namespace vx::qt
