// Draws a report's page (its display list) with a QPainter, the one drawing that the preview,
// the PDF file and the printer share, and measures report texts with Qt's font metrics.
#pragma once

#include <QFont>
#include <QPainter>
#include <mutex>

#include "runtime/report/page_image.h"
#include "runtime/report/text_measure.h"

namespace vx::qt {

// The Qt font of a report font, sized in report units (thousandths of an inch) as pixels, so
// that a painter scaled to report units draws it at its size on any device.
QFont ReportQFont(const report::ReportFont& font);

// Paints the page's items; the painter's coordinates are report units (the caller scales).
void PaintPageImage(QPainter& painter, const report::PageImage& page);

// Measures report texts with the fonts' real metrics (Liberation Sans stands in for Arial).
// Thread-safe: the page engine measures on runtime threads.
class QtTextMeasure final : public report::TextMeasure {
 public:
  long Width(const report::ReportFont& font, std::string_view text) const override;
  long LineHeight(const report::ReportFont& font) const override;

 private:
  mutable std::mutex mutex_;
};

}  // namespace vx::qt
