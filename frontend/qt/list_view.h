// The table that shows a list control: as wide as its columns want (so a window opens with
// every column showing what it was designed to show) and some rows high.
#pragma once

#include <QTableView>

namespace vx::qt {

class ListView final : public QTableView {
  Q_OBJECT
 public:
  using QTableView::QTableView;
  QSize sizeHint() const override;
};

}  // namespace vx::qt
