// Draws a list cell in the colours the list gives it for a selected row.
#pragma once

#include <QStyledItemDelegate>

namespace vx::qt {

class ListCellDelegate final : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace vx::qt
