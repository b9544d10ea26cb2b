#include "frontend/qt/list_cell_delegate.h"

#include "frontend/qt/list_table_model.h"

namespace vx::qt {

void ListCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (!(option->state & QStyle::State_Selected)) return;
  const QVariant fg = index.data(kSelectedForegroundRole);
  const QVariant bg = index.data(kSelectedBackgroundRole);
  if (fg.isValid()) option->palette.setColor(QPalette::HighlightedText, fg.value<QColor>());
  if (bg.isValid()) option->palette.setColor(QPalette::Highlight, bg.value<QColor>());
}

}  // namespace vx::qt
