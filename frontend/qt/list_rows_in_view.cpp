#include "frontend/qt/list_rows_in_view.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace vx::qt {

ListRowsInView::ListRowsInView(QTableView* view, PostFn post)
    : QObject(view), view_(view), post_(std::move(post)) {
  view_->viewport()->installEventFilter(this);
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Report(); });
}

bool ListRowsInView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
    Report();
  }
  return QObject::eventFilter(watched, event);
}

void ListRowsInView::Report() {
  const int row_height = std::max(1, view_->verticalHeader()->defaultSectionSize());
  // Only whole rows count as shown: a row cut off at the foot is not on the user's page.
  const int rows = std::max(1, view_->viewport()->height() / row_height);
  const int first = std::max(0, view_->rowAt(0)) + 1;
  std::string text = std::to_string(first) + " " + std::to_string(rows);
  if (text == reported_) return;
  reported_ = text;
  post_(std::move(text));
}

}  // namespace vx::qt
