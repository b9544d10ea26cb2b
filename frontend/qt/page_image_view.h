// Draws a page image control of the window model: the page of its Value (in the page's text
// form) on white paper, at its Zoom (a percent of the paper's real size on this screen; 0 fits
// the whole page into the control).
#pragma once

#include <QWidget>
#include <optional>

#include "runtime/report/page_image.h"

namespace vx::qt {

class PageImageView final : public QWidget {
  Q_OBJECT
 public:
  explicit PageImageView(QWidget* parent = nullptr);

  void SetPage(const QString& text);
  void SetZoom(int percent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSizeF PaperPixels(double scale) const;
  double Scale() const;  // screen pixels per report unit

  std::optional<report::PageImage> page_;
  int zoom_ = 0;
};

}  // namespace vx::qt
