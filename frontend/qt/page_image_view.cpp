#include "frontend/qt/page_image_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "frontend/qt/page_painter.h"

namespace vx::qt {
namespace {

constexpr int kMargin = 12;  // grey around the paper

}  // namespace

PageImageView::PageImageView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMinimumSize(200, 260);
}

void PageImageView::SetPage(const QString& text) {
  page_ = report::ReadPageImageText(text.toStdString());
  updateGeometry();
  update();
}

void PageImageView::SetZoom(int percent) {
  zoom_ = std::max(percent, 0);
  // At a zoom of its own the page asks for its whole size; the window scrolls around it.
  const QSizeF paper = PaperPixels(Scale());
  if (zoom_ > 0) {
    setMinimumSize(paper.toSize() + QSize(2 * kMargin, 2 * kMargin));
  } else {
    setMinimumSize(200, 260);
  }
  updateGeometry();
  update();
}

QSize PageImageView::sizeHint() const {
  if (zoom_ > 0) return minimumSize();
  return {640, 820};
}

QSizeF PageImageView::PaperPixels(double scale) const {
  const double w = page_ ? page_->width : 8500, h = page_ ? page_->height : 11000;
  return {w * scale, h * scale};
}

double PageImageView::Scale() const {
  const double w = page_ ? page_->width : 8500, h = page_ ? page_->height : 11000;
  if (zoom_ > 0) return zoom_ / 100.0 * logicalDpiX() / report::kUnitsPerInch;
  return std::min((width() - 2.0 * kMargin) / w, (height() - 2.0 * kMargin) / h);
}

void PageImageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Dark));
  if (!page_) return;
  const double scale = std::max(Scale(), 0.001);
  const QSizeF paper = PaperPixels(scale);
  const QPointF origin(std::max(kMargin * 1.0, (width() - paper.width()) / 2), kMargin);
  painter.fillRect(QRectF(origin, paper), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(origin);
  painter.scale(scale, scale);
  PaintPageImage(painter, *page_);
}

}  // namespace vx::qt
