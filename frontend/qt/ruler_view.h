// Draws a ruler control of the window model over a rich-text editor: an inch scale from its
// left end (a long mark each inch with its number, shorter ones each half and eighth inch) and
// a marker at each tab stop of the model's list (twips, "|" between). A click says where, in
// twips from the left end, through the callback; the model decides what the click does.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

namespace vx::qt {

class RulerView final : public QWidget {
  Q_OBJECT
 public:
  RulerView(QWidget* parent, std::function<void(long twips)> clicked);

  void SetStops(const QString& stops);
  const std::vector<long>& Stops() const { return stops_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Pixels and twips along the ruler at this widget's horizontal resolution.
  long TwipsAt(int x) const;
  int XOf(long twips) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::function<void(long)> clicked_;
  std::vector<long> stops_;
};

}  // namespace vx::qt
