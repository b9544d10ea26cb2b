#include "frontend/qt/bar_graph_view.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

namespace vx::qt {

BarGraphView::BarGraphView(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize BarGraphView::sizeHint() const { return {640, 420}; }

void BarGraphView::SetData(const QString& data) {
  bars_.clear();
  for (const QString& line : data.split('\n', Qt::SkipEmptyParts)) {
    const QStringList parts = line.split('\t');
    Bar bar;
    bar.name = parts.value(0);
    bar.count = parts.value(1).toLong();
    bar.percent = parts.value(2);
    const long bgr = parts.value(3).toLong();  // 0xBBGGRR
    bar.colour = QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                        static_cast<int>((bgr >> 16) & 0xFF));
    bars_.push_back(bar);
  }
  update();
}

void BarGraphView::SetTitle(const QString& title) {
  title_ = title.split('\n');
  update();
}

void BarGraphView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QFontMetrics metrics = fontMetrics();
  const int line = metrics.height();
  int y = 6;
  for (const QString& text : title_) {
    p.drawText(QRect(0, y, width(), line), Qt::AlignHCenter, text);
    y += line;
  }
  const int top = y + 10;
  const int caption = metrics.horizontalAdvance("Percent") + 12;
  const int baseline = height() - 2 * line - 14;  // the two rows of figures stand below it
  const int n = static_cast<int>(bars_.size());
  if (n == 0 || baseline <= top) return;
  const long largest = std::max<long>(
      1, std::max_element(bars_.begin(), bars_.end(), [](const Bar& a, const Bar& b) {
           return a.count < b.count;
         })->count);
  // Bars share the width beside the captions, a gap of a quarter bar between them.
  const int usable = std::max(10, width() - caption - 16);
  int gap = std::max(2, usable / (n * 5));
  int bar = std::max(2, (usable - (n - 1) * gap) / n);
  bar = std::min(bar, 4 * std::max(gap, 20));
  const int total = n * bar + (n - 1) * gap;
  int x = caption + std::max(0, (usable - total) / 2);
  p.drawText(QRect(4, baseline + 6, caption, line), Qt::AlignLeft, "Count");
  p.drawText(QRect(4, baseline + 8 + line, caption, line), Qt::AlignLeft, "Percent");
  for (const Bar& b : bars_) {
    const int h = static_cast<int>(static_cast<double>(b.count) / static_cast<double>(largest) *
                                   (baseline - top));
    p.fillRect(QRect(x, baseline - h, bar, h), b.colour);
    // The name runs upward along the bar, ending a little above the baseline; month and day
    // names lose the number that keeps them in calendar order (" 1 =January").
    QString name = b.name;
    if (name.size() > 4 && name.mid(2, 2) == " =") name = name.mid(4);
    p.save();
    // A dark name on a dark bar would not be read: it is written light there.
    if (palette().color(QPalette::WindowText).lightness() < 128 && b.colour.lightness() < 100)
      p.setPen(Qt::white);
    p.translate(x + bar / 2 + metrics.ascent() / 2, baseline - 10);
    p.rotate(-90);
    p.drawText(0, 0, name);
    p.restore();
    p.drawText(QRect(x - gap / 2, baseline + 6, bar + gap, line), Qt::AlignHCenter,
               QString::number(b.count));
    p.drawText(QRect(x - gap / 2, baseline + 8 + line, bar + gap, line), Qt::AlignHCenter,
               b.percent);
    x += bar + gap;
  }
  p.setPen(QPen(Qt::black, 4));
  p.drawLine(caption, baseline, width() - 8, baseline);
}

}  // namespace vx::qt
