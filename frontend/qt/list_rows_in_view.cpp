#include "frontend/qt/list_rows_in_view.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace vx::qt {

ListRowsInView::ListRowsInView(QTableView* view, PostFn post)
    : QObject(view), view_(view), viewport_(view->viewport()), post_(std::move(post)) {
  viewport_->installEventFilter(this);
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Report(); });
}

bool ListRowsInView::eventFilter(QObject* watched, QEvent* event) {
  // The viewport is compared by the pointer kept: while the view is being destroyed its own
  // members are no longer there to ask.
  if (watched == viewport_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
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
