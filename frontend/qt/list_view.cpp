#include "frontend/qt/list_view.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

namespace vx::qt {
namespace {
constexpr int kRowsShown = 10;
}  // namespace

QSize ListView::sizeHint() const {
  const QHeaderView* header = horizontalHeader();
  int width = 0;
  for (int i = 0; i < header->count(); ++i) {
    if (!header->isSectionHidden(i)) width += header->sectionSize(i);
  }
  width += 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  const int height = 2 * frameWidth() + (header->isHidden() ? 0 : header->sizeHint().height()) +
                     kRowsShown * verticalHeader()->defaultSectionSize();
  return {std::max(width, 160), height};
}

}  // namespace vx::qt
